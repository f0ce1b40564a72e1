#include "pravik/link/udp_port_holders.h"

#include <gtest/gtest.h>

using namespace pravik::link;

TEST(UdpPortHolders, OnlyOtherSocketsOnTheWildcardAddressHoldThePort)
{
    // Port 1973 is 07B5; our own socket is inode 500.
    const QByteArray heading =
        "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
        "timeout inode ref pointer drops             \n";
    const auto line = [](const char *local, const char *inode) {
        return QByteArray("  263: ") + local +
               " 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000        0 " + inode +
               " 2 0000000000000000 0        \n";
    };
    const struct
    {
        const char *what;
        QByteArray table;
        QList<quint64> holders;
    } cases[] = {
        {"only the heading", heading, {}},
        {"our own socket", heading + line("00000000:07B5", "500"), {}},
        {"another on 0.0.0.0",
         heading + line("00000000:07B5", "500") + line("00000000:07B5", "731"),
         {731}},
        {"the simulator on 127.0.0.2", heading + line("0200007F:07B5", "732"), {}},
        {"other ports, one sharing the digits in decimal",
         heading + line("00000000:07B6", "733") + line("00000000:1973", "734"),
         {}},
        {"a dual-stack socket on ::",
         line("00000000000000000000000000000000:07B5", "735") +
             line("00000000000000000000000001000000:07B5", "736"),
         {735}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(wildcardHoldersOf(c.table, 1973, {500}), c.holders);
    }
}

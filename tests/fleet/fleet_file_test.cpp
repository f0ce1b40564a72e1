#include "pravik/fleet/fleet_file.h"

#include <gtest/gtest.h>

using namespace pravik::fleet;

TEST(FleetFile, NamesEachBoardOnceWithItsLinkAndAddress)
{
    const std::pair<const char *, const char *> refused[] = {
        {"front udp:10.0.0.2:1973",
         "line 1: write NAME LINK ADDRESS, not 'front udp:10.0.0.2:1973'"},
        {"a COM3 1\n\nb COM3 256", "line 3: the bus address is 0 to 255, not '256'"},
        {"a tcp:10.0.0.2:1973 1", "line 1: the link is udp:HOST:PORT, serial:DEVICE[@BAUD] or "
                                  "COMn, not 'tcp:10.0.0.2:1973'"},
        {"a COM3 1\na COM4 1", "line 2: the name a is taken"},
        {"a udp:10.0.0.2:1973 1\nb udp:10.000.0.2:1973 0x01",
         "line 2: udp:10.0.0.2:1973 address 1 is named twice"},
        {"# nobody\n", "the fleet file names no board"},
    };
    for (const auto &[text, error] : refused) {
        const auto parsed = parseFleet(QString::fromUtf8(text));
        ASSERT_FALSE(parsed);
        EXPECT_EQ(parsed.failure().text, QString::fromUtf8(error));
        EXPECT_EQ(parsed.failure().code, 2);
    }
}

// Boards on one link take turns whatever the file's spelling of the link;
// each keeps its own bus address and the display file's other settings.
TEST(FleetFile, BoardsOfOneLinkShareItsIdentity)
{
    qputenv("COM3", "/dev/ttyFAKE3");
    const auto boards = parseFleet(QStringLiteral("a COM3 2\n"
                                                  "b serial:/dev/ttyFAKE3@9600 3\n"
                                                  "c udp:10.000.0.2:1973 1\n"
                                                  "d udp:10.0.0.2:1973 2\n"
                                                  "e udp:10.0.0.2:1974 2\n"));
    ASSERT_TRUE(boards);
    pravik::document::BoardSettings file;
    file.scrwidth = 64;
    QStringList links;
    QStringList identities;
    for (const FleetBoard &board : *boards) {
        const BoardOnLink onLink = boardOnLink(board, file);
        EXPECT_EQ(onLink.settings.scrwidth, 64);
        links << onLink.linkIdentity();
        identities << onLink.boardIdentity();
    }
    qunsetenv("COM3");
    EXPECT_EQ(links, (QStringList{"serial:/dev/ttyFAKE3", "serial:/dev/ttyFAKE3",
                                  "udp:10.0.0.2:1973", "udp:10.0.0.2:1973", "udp:10.0.0.2:1974"}));
    EXPECT_EQ(identities.last(), QStringLiteral("udp:10.0.0.2:1974 address 2"));
    EXPECT_EQ(identities[1], QStringLiteral("serial:/dev/ttyFAKE3 address 3"));
}

#include "sim_options.h"

#include <gtest/gtest.h>

#include <vector>

using namespace LedBoardSim;

namespace {

ParsedOptions parse(const QString &line)
{
    QStringList arguments{QStringLiteral("ledboard-sim")};
    arguments += line.split(u' ', Qt::SkipEmptyParts);
    return parseSimOptions(arguments);
}

} // namespace

TEST(SimOptions, RefusesBadCommandLines)
{
    const std::vector<const char *> bad = {
        "",                           // no transport
        "--pty --udp 127.0.0.1:1973", // two transports
        "--udp 127.0.0.1",            // no port
        "--udp 127.0.0.1:70000",
        "--pty --width 100", // not a multiple of 8
        "--pty --type 4",
        "--pty --address 256",
        "--pty --wrong-echo-rate 1.5",
        "--pty --hangup-after 0",
        "--pty --silent-after x",
        "--pty --no-such-option",
        "--pty stray",
    };
    for (const char *line : bad) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(parse(QString::fromLatin1(line)).error.isEmpty());
    }
}

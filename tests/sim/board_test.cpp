#include "board.h"
#include "fault_plan.h"
#include "line_pacer.h"
#include "wire_builder.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <vector>

using namespace LedBoardSim;
using WireBuilder::frame;
using WireBuilder::payload;

namespace {

// The replies to the first frames, a letter each in the order of ReplyKind:
// Echo, WrongEcho, Garbage, Silent.
std::string kinds(FaultPlan plan, int frames)
{
    std::string out;
    for (int n = 1; n <= frames; ++n)
        out += "EWGS"[static_cast<int>(plan.replyFor(n))];
    return out;
}

ReadItem readOne(const QByteArray &wire)
{
    FrameReader reader;
    reader.append(wire);
    ReadItem item = reader.next();
    if (item.status == FrameStatus::Incomplete)
        item = reader.takeRest();
    return item;
}

} // namespace

TEST(FaultPlan, AnswersEachFrameAsAsked)
{
    const std::pair<FaultOptions, const char *> cases[] = {
        {{}, "EEEEE"},
        {{.wrongEchoAt = 2}, "EWEEE"},
        {{.silentAfter = 2}, "EESSS"},
        {{.silentAfter = 0}, "SSSSS"},
        {{.garbageAfter = 3}, "EEEGG"},
        {{.wrongEchoAt = 4, .silentAfter = 3}, "EEESS"}, // silence wins over a wrong echo
        {{.wrongEchoRate = 1.0}, "WWWWW"},
    };
    for (const auto &[options, replies] : cases)
        EXPECT_EQ(kinds(FaultPlan(options), 5), replies);
}

TEST(FaultPlan, WrongEchoRateIsSeeded)
{
    const FaultOptions options{.wrongEchoRate = 0.3, .seed = 42};
    const std::string first = kinds(FaultPlan(options), 1000);
    EXPECT_EQ(first, kinds(FaultPlan(options), 1000));
    EXPECT_NE(first, kinds(FaultPlan({.wrongEchoRate = 0.3, .seed = 43}), 1000));
    const auto wrong = std::count(first.begin(), first.end(), 'W');
    EXPECT_GT(wrong, 240);
    EXPECT_LT(wrong, 360);
}

TEST(FaultPlan, FaultyRepliesNeverMatchTheChecksum)
{
    FaultPlan plan({.garbageAfter = 0});
    for (int checksum = 0; checksum < 256; ++checksum) {
        const auto c = static_cast<quint8>(checksum);
        EXPECT_EQ(plan.replyBytes(ReplyKind::Echo, c), QByteArray(1, static_cast<char>(c)));
        const QByteArray wrong = plan.replyBytes(ReplyKind::WrongEcho, c);
        ASSERT_EQ(wrong.size(), 1);
        EXPECT_NE(static_cast<quint8>(wrong.at(0)), c);
        const QByteArray garbage = plan.replyBytes(ReplyKind::Garbage, c);
        ASSERT_GT(garbage.size(), 1);
        EXPECT_NE(static_cast<quint8>(garbage.at(0)), c);
        EXPECT_TRUE(plan.replyBytes(ReplyKind::Silent, c).isEmpty());
    }
}

TEST(Board, AnswersAndLogsEachKindOfItem)
{
    const QByteArray clock = payload(21, {{0, 3}, {15, 1}, {16, 1}, {19, 0x20}, {20, 0x05}});
    QByteArray damaged = frame(7, clock);
    damaged[damaged.size() - 1] = static_cast<char>(damaged.at(damaged.size() - 1) + 1);

    struct Case
    {
        const char *name;
        QByteArray wire;
        QByteArray reply;
        const char *status;
        bool wellFormed;
        bool counted; // numbered among the answered frames
    };
    const std::vector<Case> cases = {
        {"good frame for this board", frame(7, clock), QByteArray(1, 0x2A), "ok", true, true},
        // The board echoes the sum it computed; the sender sees a wrong echo and resends.
        {"damaged checksum", damaged, QByteArray(1, 0x2A), "checksum-error", false, true},
        {"frame for another board", frame(8, clock), {}, "ok", true, false},
        {"broken escape", WireBuilder::fromHex("fafa0703fa01"), {}, "bad-escape", false, false},
        {"noise", WireBuilder::fromHex("0102"), {}, "bad-header", false, false},
        {"truncated", frame(7, clock).left(9), {}, "truncated", false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Board board({.geometry = {}, .address = 7, .faults = {}});
        const Reaction reaction = board.handle(readOne(c.wire));
        EXPECT_EQ(reaction.reply.toHex(), c.reply.toHex());
        EXPECT_FALSE(reaction.hangUp);
        const QJsonObject &entry = reaction.logEntry;
        EXPECT_EQ(entry[u"status"].toString().toStdString(), c.status);
        EXPECT_EQ(entry[u"well_formed"].toBool(), c.wellFormed);
        EXPECT_TRUE(QString::fromLatin1(c.wire.toHex(' ')).startsWith(entry[u"raw"].toString()));
        EXPECT_FALSE(entry[u"raw"].toString().isEmpty());
        EXPECT_EQ(entry.contains(u"error"), !c.wellFormed);
        EXPECT_EQ(entry.contains(u"answered"), c.counted);
        EXPECT_EQ(board.answeredFrames(), c.counted ? 1 : 0);
    }
}

TEST(Board, StoresOnlyIntactPicturesAndShowsThemOnProperties)
{
    Board board({.geometry = {8, 8, 1}, .address = {}, .faults = {.hangUpAfter = 4}});
    QByteArray picture = frame(1, WireBuilder::picture(2, 0, 0, QByteArray(1, '\x80')));
    QByteArray damaged = frame(1, WireBuilder::picture(3, 0, 0, QByteArray(1, '\x80')));
    damaged[damaged.size() - 1] = 0;
    const QByteArray properties = payload(21, {{0, 4}, {1, 2}, {3, 0xFE}});

    EXPECT_FALSE(board.handle(readOne(damaged)).logEntry.contains(u"notes"));
    EXPECT_FALSE(board.planes().hasScreen(3));
    board.handle(readOne(picture));
    EXPECT_TRUE(board.planes().hasScreen(2));

    const Reaction shown = board.handle(readOne(frame(1, properties)));
    EXPECT_EQ(shown.screenToShow, 2);
    const Reaction unknown =
        board.handle(readOne(frame(1, payload(21, {{0, 4}, {1, 9}, {3, 0xFE}}))));
    EXPECT_FALSE(unknown.screenToShow.has_value());
    EXPECT_TRUE(unknown.hangUp);
    EXPECT_EQ(unknown.logEntry[u"notes"].toArray().size(), 1);
}

TEST(LinePacer, PacesBytesAtTenBitsEach)
{
    LinePacer pacer(9600);
    EXPECT_NEAR(pacer.byteMs(), 10000.0 / 9600.0, 1e-9);
    // 25 bytes written at once at t = 100 ms arrive one by one.
    pacer.noteReceived(0, 25, 100.0);
    EXPECT_NEAR(pacer.arrivalMs(25), 100.0 + 25 * pacer.byteMs(), 1e-9);
    // A second chunk written while the line is still busy queues behind it.
    pacer.noteReceived(25, 25, 101.0);
    EXPECT_NEAR(pacer.arrivalMs(50), 100.0 + 50 * pacer.byteMs(), 1e-9);
    // Answers take their own time and never overlap.
    const double first = pacer.transmitDoneMs(1, 200.0);
    EXPECT_NEAR(first, 200.0 + pacer.byteMs(), 1e-9);
    EXPECT_NEAR(pacer.transmitDoneMs(4, 200.0), first + 4 * pacer.byteMs(), 1e-9);

    LinePacer unpaced;
    unpaced.noteReceived(0, 132, 5.0);
    EXPECT_EQ(unpaced.arrivalMs(132), 5.0);
    EXPECT_EQ(unpaced.transmitDoneMs(1, 7.0), 7.0);
}

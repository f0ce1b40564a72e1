#include "picture_fixtures.h"

#include "pravik/picture/rasterise.h"

#include "common/recording_prompter.h"

#include <gtest/gtest.h>

using namespace pravik::picture;
using pravik::link::ExchangeResult;

namespace {

// Records every packet; the packet with number `failAt` (1-based) fails.
struct RecordingExchange
{
    QList<QByteArray> packets;
    int failAt = 0;
    ExchangeResult failure = ExchangeResult::NoEcho;

    PacketExchange exchange()
    {
        return [this](QByteArray &buffer, int checksumIndex) {
            EXPECT_EQ(checksumIndex, 132);
            EXPECT_EQ(buffer.size(), 133);
            packets.append(buffer.left(132));
            return packets.size() == failAt ? failure : ExchangeResult::Ok;
        };
    }
};

int at(const QByteArray &packet, int index)
{
    return static_cast<std::uint8_t>(packet[index]);
}

} // namespace

TEST(RasterisePicture, SixtyFourBySixteenPacketByPacket)
{
    const auto canvas = canvasOf(64, 16, 616, [](int x, int y) {
        return x == y ? kRed : kBlack; // a diagonal: row y lights pixel y
    });
    RecordingExchange board;
    common::RecordingPrompter prompter;
    QList<int> rows;
    EXPECT_EQ(rasterisePicture(canvas, 1, 7, board.exchange(), prompter,
                               [&](int row) { rows << row; }),
              RasteriseResult::Ok);
    ASSERT_EQ(board.packets.size(), 2);
    for (int half = 0; half < 2; ++half) {
        const QByteArray &p = board.packets[half];
        EXPECT_EQ(at(p, 0), 0x12);
        EXPECT_EQ(at(p, 1), 7);
        EXPECT_EQ(at(p, 2), 0);
        EXPECT_EQ(at(p, 3), half);
    }
    for (int i = 0; i < 128; ++i) {
        const int row = i / 8;
        const int expected = (i % 8 == row / 8) ? (0x80 >> (row % 8)) : 0;
        ASSERT_EQ(at(board.packets[0], 4 + i), expected) << i;
        ASSERT_EQ(at(board.packets[1], 4 + i), 0) << i;
    }
    EXPECT_EQ(rows.size(), 16);
    EXPECT_EQ(rows.last(), 15);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST(RasterisePicture, ThreeColourSendsGreenThenRedForEachBlock)
{
    const auto canvas = canvasOf(64, 16, 616, [](int, int) { return kRed; });
    RecordingExchange board;
    common::RecordingPrompter prompter;
    EXPECT_EQ(rasterisePicture(canvas, 2, 0, board.exchange(), prompter), RasteriseResult::Ok);
    ASSERT_EQ(board.packets.size(), 4);
    const int lines[] = {0, 0, 1, 1};
    const int halves[] = {0, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(at(board.packets[i], 2), lines[i]);
        EXPECT_EQ(at(board.packets[i], 3), halves[i]);
    }
    EXPECT_EQ(at(board.packets[0], 4), 0x00); // green plane dark
    EXPECT_EQ(at(board.packets[2], 4), 0xFF); // red plane lit
}

TEST(RasterisePicture, FailureStopsThePictureWithTheCodeOfItsStep)
{
    struct Case
    {
        int type, width, height, failAt;
        RasteriseResult code;
        int packetsSent;
    };
    // 64 x 150: band 0 is four full blocks (8 packets single, 16 three-colour),
    // band 1 one padded block after the last row.
    // 40 x 130: band 0 closes with a padded block (packets 5-6), band 1 after the last row.
    const Case cases[] = {
        {1, 64, 150, 1, RasteriseResult::SingleInsideBand, 1}, // second half never sent
        {1, 64, 150, 8, RasteriseResult::SingleInsideBand, 8},
        {1, 40, 130, 5, RasteriseResult::SingleEndOfBand, 5},
        {1, 64, 150, 9, RasteriseResult::SingleAfterLastRow, 9},
        {2, 64, 150, 3, RasteriseResult::ThreeInsideBand, 3},
        {2, 40, 130, 12, RasteriseResult::ThreeEndOfBand, 12},
        {2, 64, 150, 18, RasteriseResult::ThreeAfterLastRow, 18},
    };
    for (const Case &c : cases) {
        const auto canvas = canvasOf(c.width, c.height, 616, [](int, int) { return kYellow; });
        RecordingExchange board;
        board.failAt = c.failAt;
        common::RecordingPrompter prompter;
        EXPECT_EQ(rasterisePicture(canvas, c.type, 0, board.exchange(), prompter), c.code)
            << c.type << " " << c.width << "x" << c.height << " at " << c.failAt;
        EXPECT_EQ(board.packets.size(), c.packetsSent);
    }
}

TEST(RasterisePicture, NothingIsSentForMultiColourOrOversizedBoards)
{
    common::RecordingPrompter prompter;
    RecordingExchange board;
    const auto multi = canvasOf(64, 16, 616, [](int, int) { return kRed; });
    EXPECT_EQ(rasterisePicture(multi, 3, 0, board.exchange(), prompter), RasteriseResult::Ok);
    EXPECT_EQ(rasterisePicture(multi, 0, 0, board.exchange(), prompter), RasteriseResult::Ok);
    EXPECT_TRUE(prompter.messages().isEmpty());

    const BoardCanvas wide(2064, 128, 1256);
    EXPECT_EQ(rasterisePicture(wide, 1, 0, board.exchange(), prompter),
              RasteriseResult::BoardTooLarge);
    EXPECT_TRUE(board.packets.isEmpty());
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Error);
}

TEST(RasterisePicture, WidestBandCountsBlockIndexesUpTo127)
{
    const auto canvas = canvasOf(2048, 128, 1256, [](int x, int) { return x % 3 ? kRed : kBlack; });
    RecordingExchange board;
    common::RecordingPrompter prompter;
    EXPECT_EQ(rasterisePicture(canvas, 1, 0, board.exchange(), prompter), RasteriseResult::Ok);
    ASSERT_EQ(board.packets.size(), 256);
    EXPECT_EQ(at(board.packets.last(), 3), 255);
    EXPECT_EQ(at(board.packets.last(), 2), 0);
}

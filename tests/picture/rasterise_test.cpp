#include "picture_fixtures.h"

#include "pravik/picture/rasterise.h"

#include <gtest/gtest.h>

using namespace pravik::picture;

namespace {

// Records every packet; the packet with number `failAt` (1-based) is not
// echoed.
struct RecordingExchange
{
    QList<QByteArray> packets = {};
    int failAt = 0;

    PacketExchange exchange()
    {
        return [this](QByteArray &buffer, int checksumIndex) {
            EXPECT_EQ(checksumIndex, 132);
            EXPECT_EQ(buffer.size(), 133);
            packets.append(buffer.left(132));
            return packets.size() == failAt ? common::Status(common::Failure{4, {}, {}})
                                            : common::Status();
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
    // A diagonal: row y lights pixel y.
    const auto canvas = canvasOf(64, 16, 616, [](int x, int y) { return x == y ? kRed : kBlack; });
    RecordingExchange board;
    QList<int> rows;
    EXPECT_EQ(
        rasterisePicture(canvas, 1, 7, board.exchange(), [&](int row) { rows << row; }).result,
        RasteriseResult::Ok);
    ASSERT_EQ(board.packets.size(), 2);
    for (int half = 0; half < 2; ++half)
        EXPECT_EQ(board.packets[half].left(4), QByteArray::fromHex("120700") + char(half));
    for (int i = 0; i < 128; ++i) {
        const int row = i / 8;
        ASSERT_EQ(at(board.packets[0], 4 + i), i % 8 == row / 8 ? 0x80 >> (row % 8) : 0) << i;
        ASSERT_EQ(at(board.packets[1], 4 + i), 0) << i;
    }
    EXPECT_EQ(rows.size(), 16);
    EXPECT_EQ(rows.last(), 15);
}

TEST(RasterisePicture, ThreeColourSendsGreenThenRedForEachBlock)
{
    const auto canvas = canvasOf(64, 16, 616, [](int, int) { return kRed; });
    RecordingExchange board;
    EXPECT_EQ(rasterisePicture(canvas, 2, 0, board.exchange()).result, RasteriseResult::Ok);
    ASSERT_EQ(board.packets.size(), 4);
    const char *lineAndHalf[] = {"\x00\x00", "\x00\x01", "\x01\x00", "\x01\x01"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(board.packets[i].mid(2, 2), QByteArray(lineAndHalf[i], 2)) << i;
    EXPECT_EQ(at(board.packets[0], 4), 0x00); // green plane dark
    EXPECT_EQ(at(board.packets[2], 4), 0xFF); // red plane lit
}

TEST(RasterisePicture, FailureStopsThePictureWithTheCodeOfItsStep)
{
    // 64 x 150: band 0 is four full blocks (8 packets single, 16 three-colour),
    // band 1 one padded block after the last row.
    // 40 x 130: band 0 closes with a padded block (packets 5-6), band 1 after the last row.
    const struct
    {
        int type, width, height, failAt;
        RasteriseResult code;
    } cases[] = {
        {1, 64, 150, 1, RasteriseResult::SingleInsideBand}, // second half never sent
        {1, 64, 150, 8, RasteriseResult::SingleInsideBand},
        {1, 40, 130, 5, RasteriseResult::SingleEndOfBand},
        {1, 64, 150, 9, RasteriseResult::SingleAfterLastRow},
        {2, 64, 150, 3, RasteriseResult::ThreeInsideBand},
        {2, 40, 130, 12, RasteriseResult::ThreeEndOfBand},
        {2, 64, 150, 18, RasteriseResult::ThreeAfterLastRow},
    };
    for (const auto &c : cases) {
        const auto canvas = canvasOf(c.width, c.height, 616, [](int, int) { return kYellow; });
        RecordingExchange board{.failAt = c.failAt};
        const PictureSent sent = rasterisePicture(canvas, c.type, 0, board.exchange());
        EXPECT_EQ(sent.result, c.code)
            << c.type << " " << c.width << "x" << c.height << " at " << c.failAt;
        ASSERT_TRUE(sent.failure.has_value());
        EXPECT_EQ(sent.failure->code, 4); // the exchange's failure comes up
        EXPECT_EQ(board.packets.size(), c.failAt);
    }
}

// A band holds at most 128 blocks of 256 bytes per plane, the last band
// running to the end of the board; a multi-colour board (3) or one without a
// type takes no picture.
TEST(RasterisePicture, NothingIsSentForMultiColourOrOversizedBoards)
{
    const struct
    {
        int width, height, type;
        RasteriseResult code;
        int packets;
    } cases[] = {
        {2048, 512, 1, RasteriseResult::Ok, 1024},
        {2056, 128, 1, RasteriseResult::BoardTooLarge, 0},
        {2048, 513, 1, RasteriseResult::BoardTooLarge, 0},
        {1024, 512, 2, RasteriseResult::Ok, 1024}, // third band 256 rows x 128 bytes
        {1032, 512, 2, RasteriseResult::BoardTooLarge, 0},
        {64, 16, 3, RasteriseResult::Ok, 0},
        {64, 16, 0, RasteriseResult::Ok, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " type " << c.type);
        RecordingExchange board;
        const PictureSent sent =
            rasterisePicture(BoardCanvas(c.width, c.height, 1256), c.type, 0, board.exchange());
        EXPECT_EQ(sent.result, c.code);
        EXPECT_EQ(board.packets.size(), c.packets);
        const bool refused = c.code == RasteriseResult::BoardTooLarge;
        ASSERT_EQ(sent.failure.has_value(), refused);
        if (refused) {
            EXPECT_EQ(sent.failure->icon, common::MessageIcon::Error);
        }
    }
}

// The block index shares packet byte 3 with the half: block 127's second half is 255.
TEST(RasterisePicture, WidestBandCountsBlockIndexesUpTo127)
{
    const auto canvas = canvasOf(2048, 128, 1256, [](int x, int) { return x % 3 ? kRed : kBlack; });
    RecordingExchange board;
    EXPECT_EQ(rasterisePicture(canvas, 1, 0, board.exchange()).result, RasteriseResult::Ok);
    ASSERT_EQ(board.packets.size(), 256);
    EXPECT_EQ(at(board.packets.last(), 3), 255);
    EXPECT_EQ(at(board.packets.last(), 2), 0);
}

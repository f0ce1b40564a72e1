#include "picture_fixtures.h"

#include "pravik/picture/plane_packing.h"

#include <gtest/gtest.h>

using namespace pravik::picture;

namespace {

struct Emitted
{
    BlockPosition position;
    int blockIndex;
    std::array<int, 2> lines;
    std::array<std::array<std::uint8_t, 256>, 2> bytes;
};

std::vector<Emitted> pack(const BoardCanvas &canvas, int type)
{
    std::vector<Emitted> blocks;
    packPlanes(canvas, type, [&](const BlockStep &step) {
        EXPECT_EQ(step.planeCount, type == 2 ? 2 : 1);
        blocks.push_back({step.position, step.blockIndex,
                          {step.lineNumbers[0], step.lineNumbers[1]}, step.bytes});
        return true;
    });
    return blocks;
}

// (position, line of the first plane, block index) of every block.
std::vector<std::tuple<BlockPosition, int, int>> shape(const std::vector<Emitted> &blocks)
{
    std::vector<std::tuple<BlockPosition, int, int>> result;
    for (const auto &b : blocks)
        result.emplace_back(b.position, b.lines[0], b.blockIndex);
    return result;
}

constexpr auto Inside = BlockPosition::InsideBand;
constexpr auto BandEnd = BlockPosition::EndOfBand;
constexpr auto Last = BlockPosition::AfterLastRow;

} // namespace

TEST(PlanePacking, SixtyFourBySixteenIsOnePaddedBlock)
{
    // Every row: pixels 0 and 9 lit, so each row packs to 80 40 00 ... 00.
    const auto canvas = canvasOf(64, 16, 616, [](int x, int) {
        return x == 0 || x == 9 ? kRed : kBlack;
    });
    const auto blocks = pack(canvas, 1);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].position, Last);
    EXPECT_EQ(blocks[0].lines[0], 0);
    EXPECT_EQ(blocks[0].blockIndex, 0);
    for (int i = 0; i < 256; ++i) {
        const int expected = i >= 128 ? 0 : (i % 8 == 0 ? 0x80 : (i % 8 == 1 ? 0x40 : 0));
        ASSERT_EQ(blocks[0].bytes[0][i], expected) << i;
    }
}

TEST(PlanePacking, PixelsLightThePlanesOfTheirColour)
{
    struct Case
    {
        QRgb colour;
        int single, green, red; // the packed byte of eight such pixels
    };
    const Case cases[] = {
        {kRed, 0xFF, 0x00, 0xFF},     {kGreen, 0xFF, 0xFF, 0x00},
        {kYellow, 0xFF, 0xFF, 0xFF},  {kBlue, 0x00, 0x00, 0x00},
        {qRgb(1, 0, 0), 0xFF, 0x00, 0xFF}, {qRgb(0, 0, 0), 0x00, 0x00, 0x00},
    };
    for (const Case &c : cases) {
        const auto canvas = canvasOf(8, 1, 616, [&](int, int) { return c.colour; });
        EXPECT_EQ(pack(canvas, 1)[0].bytes[0][0], c.single) << std::hex << c.colour;
        const auto three = pack(canvas, 2);
        EXPECT_EQ(three[0].bytes[0][0], c.green) << std::hex << c.colour;
        EXPECT_EQ(three[0].bytes[1][0], c.red) << std::hex << c.colour;
        EXPECT_EQ(three[0].lines, (std::array<int, 2>{0, 1}));
    }
}

TEST(PlanePacking, BandsAndTheStepsThatSendTheirBlocks)
{
    const auto lit = [](int, int) { return kYellow; };
    // 64 LEDs wide: 8 bytes a row, 32 rows a block, 4 blocks a full band.
    using Shape = std::vector<std::tuple<BlockPosition, int, int>>;
    const auto fullBand = [](int line) {
        return Shape{{Inside, line, 0}, {Inside, line, 1}, {Inside, line, 2}, {Inside, line, 3}};
    };
    Shape h128 = fullBand(0);
    EXPECT_EQ(shape(pack(canvasOf(64, 128, 616, lit), 1)), h128);

    Shape h129 = fullBand(0);
    h129.emplace_back(Last, 2, 0);
    EXPECT_EQ(shape(pack(canvasOf(64, 129, 616, lit), 1)), h129);

    Shape h512;
    for (int line : {0, 2, 4, 6})
        for (const auto &block : fullBand(line))
            h512.push_back(block);
    EXPECT_EQ(shape(pack(canvasOf(64, 512, 616, lit), 1)), h512);

    // Three-colour 384 rows: the third band (lines 4/5) is sent by the last step.
    Shape three384 = fullBand(0);
    for (const auto &block : fullBand(2))
        three384.push_back(block);
    for (const auto &block : fullBand(4))
        three384.push_back(block);
    EXPECT_EQ(shape(pack(canvasOf(64, 384, 616, lit), 2)), three384);

    // 40 LEDs wide: 5 bytes a row; band 0 holds 640 bytes, closed with a padded block.
    const Shape narrow{{Inside, 0, 0}, {Inside, 0, 1}, {BandEnd, 0, 2}, {Last, 2, 0}};
    EXPECT_EQ(shape(pack(canvasOf(40, 130, 616, lit), 1)), narrow);
}

TEST(PlanePacking, WidestFullBandFillsExactly128Blocks)
{
    const auto blocks = pack(canvasOf(2048, 128, 1256, [](int, int) { return kRed; }), 1);
    ASSERT_EQ(blocks.size(), 128u);
    EXPECT_EQ(blocks.back().blockIndex, 127);
    for (const auto &b : blocks)
        EXPECT_EQ(b.position, Inside);
    EXPECT_FALSE(bandOverflow(2048, 512, 1).has_value());
    EXPECT_TRUE(bandOverflow(2056, 128, 1).has_value());
    EXPECT_TRUE(bandOverflow(2048, 513, 1).has_value());  // the fourth band runs to the end
    EXPECT_FALSE(bandOverflow(1024, 512, 2).has_value()); // third band 256 rows x 128 bytes
    EXPECT_TRUE(bandOverflow(1032, 512, 2).has_value());
}

TEST(PlanePacking, TwoStripsPackLikeOne)
{
    const auto colourAt = [](int x, int y) { return (x * 7 + y * 3) % 5 == 0 ? kGreen : kRed; };
    const auto split = pack(canvasOf(1024, 40, 1000, colourAt), 2);
    const auto whole = pack(canvasOf(1024, 40, 1256, colourAt), 2);
    ASSERT_EQ(split.size(), whole.size());
    for (std::size_t i = 0; i < split.size(); ++i)
        EXPECT_EQ(split[i].bytes, whole[i].bytes) << i;
}

TEST(PlanePacking, StopsWhenToldAndReportsRows)
{
    int rows = 0;
    int blocks = 0;
    const bool finished = packPlanes(
        canvasOf(64, 128, 616, [](int, int) { return kRed; }), 1,
        [&](const BlockStep &) { return ++blocks < 2; }, [&](int row) { rows = row + 1; });
    EXPECT_FALSE(finished);
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(rows, 64);
}

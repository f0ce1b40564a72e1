#include "picture_fixtures.h"

#include "pravik/picture/plane_packing.h"

#include <gtest/gtest.h>

using namespace pravik::picture;

namespace {

std::vector<BlockStep> pack(const BoardCanvas &canvas, int type)
{
    std::vector<BlockStep> blocks;
    packPlanes(canvas, type, [&](const BlockStep &step) {
        EXPECT_EQ(step.planeCount, type == 2 ? 2 : 1);
        blocks.push_back(step);
        return true;
    });
    return blocks;
}

// (position, line of the first plane, block index) of every block.
using Shape = std::vector<std::tuple<BlockPosition, int, int>>;

Shape shape(const std::vector<BlockStep> &blocks)
{
    Shape result;
    for (const auto &b : blocks)
        result.emplace_back(b.position, b.lineNumbers[0], b.blockIndex);
    return result;
}

constexpr auto Inside = BlockPosition::InsideBand;
constexpr auto BandEnd = BlockPosition::EndOfBand;
constexpr auto Last = BlockPosition::AfterLastRow;

} // namespace

TEST(PlanePacking, PixelsLightThePlanesOfTheirColour)
{
    const struct
    {
        QRgb colour;
        int single, green, red; // the packed byte of eight such pixels
    } cases[] = {
        {kRed, 0xFF, 0x00, 0xFF},  {kGreen, 0xFF, 0xFF, 0x00},        {kYellow, 0xFF, 0xFF, 0xFF},
        {kBlue, 0x00, 0x00, 0x00}, {qRgb(1, 0, 0), 0xFF, 0x00, 0xFF}, {kBlack, 0x00, 0x00, 0x00},
    };
    for (const auto &c : cases) {
        const auto canvas = canvasOf(8, 1, 616, [&](int, int) { return c.colour; });
        EXPECT_EQ(pack(canvas, 1)[0].bytes[0][0], c.single) << std::hex << c.colour;
        const auto three = pack(canvas, 2);
        EXPECT_EQ(three[0].bytes[0][0], c.green) << std::hex << c.colour;
        EXPECT_EQ(three[0].bytes[1][0], c.red) << std::hex << c.colour;
        EXPECT_EQ(three[0].lineNumbers, (std::array<std::uint8_t, 2>{0, 1}));
    }
}

TEST(PlanePacking, BandsAndTheStepsThatSendTheirBlocks)
{
    const auto lit = [](int, int) { return kYellow; };
    // 64 LEDs wide: 8 bytes a row, 32 rows a block, 4 blocks a full band.
    const auto bands = [](std::initializer_list<int> lines) {
        Shape blocks;
        for (int line : lines)
            for (int index = 0; index < 4; ++index)
                blocks.emplace_back(Inside, line, index);
        return blocks;
    };
    EXPECT_EQ(shape(pack(canvasOf(64, 128, 616, lit), 1)), bands({0}));
    EXPECT_EQ(shape(pack(canvasOf(64, 512, 616, lit), 1)), bands({0, 2, 4, 6}));
    // Three-colour 384 rows: the third band (lines 4/5) is sent by the last step.
    EXPECT_EQ(shape(pack(canvasOf(64, 384, 616, lit), 2)), bands({0, 2, 4}));

    const auto h129 = pack(canvasOf(64, 129, 616, lit), 1);
    Shape expected = bands({0});
    expected.emplace_back(Last, 2, 0);
    EXPECT_EQ(shape(h129), expected);
    // The short last block carries its one row; the rest of it is zero, not
    // what the full blocks before it held.
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(h129.back().bytes[0][i], i < 8 ? 0xFF : 0) << i;

    // 40 LEDs wide: 5 bytes a row; band 0 holds 640 bytes, closed with a padded block.
    const Shape narrow{{Inside, 0, 0}, {Inside, 0, 1}, {BandEnd, 0, 2}, {Last, 2, 0}};
    EXPECT_EQ(shape(pack(canvasOf(40, 130, 616, lit), 1)), narrow);
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

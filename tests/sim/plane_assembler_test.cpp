#include "plane_assembler.h"
#include "wire_builder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace LedBoardSim;
using WireBuilder::picture;

namespace {

const QRgb black = qRgb(0, 0, 0);
const QRgb red = qRgb(255, 0, 0);
const QRgb green = qRgb(0, 255, 0);
const QRgb yellow = qRgb(255, 255, 0);

struct Led
{
    int x;
    int y;
    QRgb colour;
};

// Every LED not listed must be dark.
void expectLeds(const QImage &image, const std::vector<Led> &lit)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb expected = black;
            for (const Led &led : lit) {
                if (led.x == x && led.y == y)
                    expected = led.colour;
            }
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, expected & 0xFFFFFF)
                << "LED (" << x << ", " << y << ")";
        }
    }
}

QByteArray block(std::initializer_list<std::pair<int, int>> set)
{
    return WireBuilder::payload(128, set);
}

} // namespace

TEST(PlaneAssembler, ThreeColourPictureShowsRedGreenAndYellow)
{
    // 16 x 4 LEDs, two bytes a row. Red at (0,0), green at (1,0), yellow at
    // (15,3) and (8,1): green plane on line 0, red plane on line 1.
    PlaneAssembler planes({16, 4, 2});
    EXPECT_TRUE(
        planes.applyPicturePacket(picture(0, 0, 0, block({{0, 0x40}, {3, 0x80}, {7, 0x01}})))
            .isEmpty());
    EXPECT_TRUE(
        planes.applyPicturePacket(picture(0, 1, 0, block({{0, 0x80}, {3, 0x80}, {7, 0x01}})))
            .isEmpty());
    expectLeds(planes.render(0), {{0, 0, red}, {1, 0, green}, {8, 1, yellow}, {15, 3, yellow}});
}

TEST(PlaneAssembler, SingleColourBoardShowsEveryLitBitRed)
{
    PlaneAssembler planes({8, 2, 1});
    planes.applyPicturePacket(picture(4, 0, 0, block({{0, 0x81}, {1, 0x10}})));
    expectLeds(planes.render(4), {{0, 0, red}, {7, 0, red}, {3, 1, red}});
    expectLeds(planes.render(5), {}); // a screen never sent stays dark
}

TEST(PlaneAssembler, PlacesBandsHalvesAndBlocks)
{
    struct Case
    {
        const char *name;
        BoardGeometry geometry;
        QByteArray packet;
        Led led;
    };
    const std::vector<Case> cases = {
        // 64 LEDs wide: 8 bytes a row, so row 16 starts the second half block.
        {"second half of block 0", {64, 32, 1}, picture(0, 0, 1, block({{0, 0x80}})), {0, 16, red}},
        // Row 32 starts block 1 (256 bytes further).
        {"first half of block 1", {64, 40, 1}, picture(0, 0, 2, block({{1, 0x01}})), {15, 32, red}},
        {"row 128 opens band 1 at line 2",
         {8, 130, 1},
         picture(0, 2, 0, block({{1, 0x01}})),
         {7, 129, red}},
        // Single-colour boards close bands at 128, 256 and 384: the fourth band
        // takes every row from 384 on.
        {"single colour, band 3",
         {8, 520, 1},
         picture(0, 6, 1, block({{0, 0x80}})),
         {0, 384 + 128, red}},
        // Three-colour boards have three bands: rows from 256 on are band 2.
        {"three colour, band 2 red plane",
         {8, 300, 2},
         picture(0, 5, 0, block({{43, 0x02}})),
         {6, 299, red}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlaneAssembler planes(c.geometry);
        EXPECT_TRUE(planes.applyPicturePacket(c.packet).isEmpty());
        expectLeds(planes.render(0), {c.led});
    }
}

TEST(PlaneAssembler, NewPictureReplacesTheOldOne)
{
    PlaneAssembler planes({8, 130, 1});
    planes.applyPicturePacket(picture(0, 0, 0, block({{0, 0x80}})));
    planes.applyPicturePacket(picture(0, 2, 0, block({{0, 0x80}})));
    planes.applyPicturePacket(picture(1, 0, 0, block({{0, 0x01}})));
    EXPECT_EQ(planes.takeChangedScreens(), (QList<int>{0, 1}));
    EXPECT_TRUE(planes.takeChangedScreens().isEmpty());

    // The first half block of screen 0 starts it afresh: band 1 goes dark.
    planes.applyPicturePacket(picture(0, 0, 0, block({{0, 0x40}})));
    expectLeds(planes.render(0), {{1, 0, red}});
    expectLeds(planes.render(1), {{7, 0, red}});
    EXPECT_EQ(planes.takeChangedScreens(), (QList<int>{0}));
}

TEST(PlaneAssembler, NotesPacketsTheBoardCannotShow)
{
    PlaneAssembler single({8, 8, 1});
    EXPECT_FALSE(single.applyPicturePacket(picture(0, 1, 0, block({}))).isEmpty());
    EXPECT_FALSE(single.applyPicturePacket(picture(0, 8, 0, block({}))).isEmpty());
    PlaneAssembler threeColour({8, 8, 2});
    EXPECT_FALSE(threeColour.applyPicturePacket(picture(0, 6, 0, block({}))).isEmpty());
    PlaneAssembler multiColour({8, 8, 3});
    EXPECT_FALSE(multiColour.applyPicturePacket(picture(0, 0, 0, block({}))).isEmpty());
}

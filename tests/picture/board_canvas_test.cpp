#include "picture_fixtures.h"

#include "common/recording_prompter.h"

#include <gtest/gtest.h>

using namespace pravik::picture;

TEST(BoardCanvas, ColumnsBeyondTheStripWidthComeFromTheSecondStrip)
{
    // 1008 LEDs on a 1024-pixel desktop: strip 2 carries the last 8 columns.
    const auto colourAt = [](int x, int y) { return qRgb(x % 256, x / 256 * 40, y); };
    const BoardCanvas canvas = canvasOf(1008, 4, 1000, colourAt);
    EXPECT_TRUE(canvas.usesTwoStrips());
    EXPECT_EQ(canvas.strip1().width(), 1000);
    EXPECT_EQ(canvas.strip2().width(), 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 1008; ++x)
            ASSERT_EQ(canvas.pixel(x, y), colourAt(x, y)) << x << "," << y;
    EXPECT_EQ(canvas.strip2().pixel(0, 1), colourAt(1000, 1));

    const BoardCanvas oneStrip = canvasOf(1000, 4, 1000, colourAt);
    EXPECT_FALSE(oneStrip.usesTwoStrips());
    EXPECT_EQ(oneStrip.strip2().width(), 0);
}

TEST(LayoutCanvas, WarnsWhenTheDesktopCannotShowTheBoard)
{
    const QString narrow =
        QStringLiteral("Pravik|屏幕宽度不足，你需要将屏幕分辨率设定到更高的模式");
    const QString low = QStringLiteral("Pravik|屏幕高度不足，你需要将屏幕分辨率设定到更高的模式");
    const struct
    {
        int width, height, strip, desktopHeight;
        QStringList warnings;
    } cases[] = {
        {1000, 32, 1000, 768, {}}, // one strip: height never checked
        {1000, 512, 1000, 100, {}},     {1008, 32, 1000, 768, {}}, // two strips, 114 + 66 rows fit
        {1600, 32, 776, 600, {narrow}},                            // 2 x 776 < 1600
        {1552, 32, 776, 600, {}},                                  // exactly two strips
        {1008, 512, 1000, 1139, {low}}, // frame 1074 rows + 990 twips > 1139 rows
        {1008, 512, 1000, 1140, {}},    {3000, 512, 1000, 800, {narrow, low}},
    };
    for (const auto &c : cases) {
        common::RecordingPrompter prompter;
        BoardCanvas canvas;
        layoutCanvas(canvas, c.width, c.height, c.strip, DesktopHeight{c.desktopHeight, 15},
                     prompter);
        EXPECT_EQ(prompter.titledTexts(), c.warnings)
            << c.width << "x" << c.height << " desktop " << c.desktopHeight;
        EXPECT_EQ(canvas.width(), c.width);
        EXPECT_EQ(canvas.height(), c.height);
    }
}

#include "pravik/app/desktop_metrics.h"

#include <gtest/gtest.h>

TEST(DesktopMetrics, WidestStripThatTheDesktopHoldsAndFifteenTwipsPerPixel)
{
    const std::pair<int, int> cases[] = {{640, 616},   {776, 616},   {777, 776},   {800, 776},
                                         {1000, 776},  {1024, 1000}, {1128, 1000}, {1152, 1128},
                                         {1256, 1128}, {1280, 1256}, {3840, 1256}, {0, 616}};
    for (const auto &[desktop, strip] : cases)
        EXPECT_EQ(pravik::app::stripWidthForDesktop(desktop), strip) << desktop;
    // At 96 dots per inch, rounded to the nearest pixel.
    EXPECT_EQ(pravik::app::twipsToPixels(4000, 96), 267);
    EXPECT_EQ(pravik::app::twipsToPixels(500, 96), 33);
    EXPECT_EQ(pravik::app::twipsToPixels(1, 96), 0);
}

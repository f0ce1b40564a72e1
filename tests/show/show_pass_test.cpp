#include "show_fixtures.h"

#include "pravik/show/show_effects.h"
#include "pravik/show/show_pass.h"

#include <gtest/gtest.h>

using namespace pravik::show;

// Random effects make a show that repeats only after many rounds of the
// list; one pass still plays the list once: each screen's stay of two
// seconds is in it once.
TEST(ShowPass, ARandomShowIsPlayedOnceThroughTheList)
{
    const ScreenProperties random{RandomEffect, 1, StayStill, 2, AtOnce, 0};
    const Show show(boardOf(4, 2, 2), {ShowScreen{ledsOf("1100/1100"), random},
                                       ShowScreen{ledsOf("2222/2222"), random}});
    std::vector<LedState> stayed; // LED (0, 0) of each frame shown two seconds or more
    EXPECT_TRUE(playOnePass(show, [&](const LedImage &frame, std::int64_t ms) {
        if (ms >= 2000)
            stayed.push_back(frame.at(0, 0));
        return true;
    }));
    EXPECT_EQ(stayed, (std::vector<LedState>{Red, Green}));
}

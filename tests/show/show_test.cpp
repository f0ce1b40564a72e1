#include "show_fixtures.h"

#include "pravik/show/show.h"
#include "pravik/show/show_effects.h"

#include <gtest/gtest.h>

#include <set>

using namespace pravik::show;

namespace {

// No three columns in a row repeat, so a frame tells where each one came from.
const std::string kWide = "1112113122123132";
const std::string kTall = "1111/2222/3333/1212";

// Speed 0: a step lasts 10 ms. "立即显示" takes one step, the stay one second.
ScreenProperties properties(int entry, int stayMode, int exit, int stayTime = 1)
{
    return ScreenProperties{entry, 0, stayMode, stayTime, exit, 0};
}

std::string frameAt(const std::string &picture, const ScreenProperties &p, std::int64_t ms,
                    int type = 2, const ShowOptions &options = {}, ShowMoment *moment = nullptr)
{
    const LedImage leds = ledsOf(picture);
    const Show show(boardOf(leds.width(), leds.height(), type), {ShowScreen{leds, p}}, options);
    LedImage frame;
    const ShowMoment at = show.frameAt(ms, frame);
    if (moment)
        *moment = at;
    return textOf(frame);
}

} // namespace

TEST(Show, EffectsUncoverMoveAndTakeAwayThePictureStepByStep)
{
    const struct
    {
        int entry, exit;
        std::int64_t ms; // exits start at 1010 ms, after one step and the stay
        const std::string &picture;
        std::string frame;
    } cases[] = {
        {WipeRight, AtOnce, 85, kWide, "1112113100000000"}, // halfway: the left half
        {WipeLeft, AtOnce, 45, kWide, "0000000000003132"},
        {WipeToCentre, AtOnce, 35, kWide, "1110000000000132"},
        {WipeToEdges, AtOnce, 35, kWide, "0000013122100000"},
        {MoveRight, AtOnce, 45, kWide, "3132000000000000"},
        {MoveLeft, AtOnce, 45, kWide, "0000000000001112"},
        {20, AtOnce, 45, kWide, "0000000000001112"}, // an unknown code moves left
        {MoveToCentre, AtOnce, 35, kWide, "1310000000000221"},
        {AtOnce, AtOnce, 5, kWide, "1112113122123132"},
        {Continuous, AtOnce, 205, kWide, "1131221231321112"},
        {WipeDown, AtOnce, 25, kTall, "1111/2222/0000/0000"},
        {MoveUp, AtOnce, 15, kTall, "0000/0000/0000/1111"},
        {WipeUp, AtOnce, 25, kTall, "0000/0000/3333/1212"}, // from the bottom row up
        {AtOnce, WipeRight, 1095, kWide, "0000000022123132"},
        {AtOnce, WipeToEdges, 1045, kWide, "1112100000023132"},
        {AtOnce, MoveToEdges, 1035, kWide, "1211310000221231"},
        {AtOnce, AtOnce, 1015, kWide, "0000000000000000"},
        {AtOnce, Continuous, 1215, kWide, "1131221231320000"},
        {AtOnce, MoveDown, 1025, kTall, "0000/1111/2222/3333"},
        {AtOnce, WipeUp, 1035, kTall, "1111/2222/0000/0000"}, // darkens from the bottom up
    };
    for (const auto &c : cases)
        EXPECT_EQ(frameAt(c.picture, properties(c.entry, StayStill, c.exit), c.ms), c.frame)
            << "entry " << c.entry << ", exit " << c.exit << " at " << c.ms << " ms";
}

TEST(Show, StayModesBlinkInvertAndLoop)
{
    const std::string single = "1101001110010110";
    const struct
    {
        int type, stayMode;
        std::int64_t ms; // the stay lasts from 10 to 2010 ms, the loop 2020 ms
        double speedFactor;
        std::string frame;
        ShowPhase phase;
        int code;
    } cases[] = {
        {2, StayStill, 760, 1, kWide, ShowPhase::Stay, StayStill},
        {2, BlinkOnOff, 260, 1, kWide, ShowPhase::Stay, BlinkOnOff},
        {2, BlinkOnOff, 760, 1, "0000000000000000", ShowPhase::Stay, BlinkOnOff},
        {2, BlinkOnOff, 1260, 1, kWide, ShowPhase::Stay, BlinkOnOff},
        {2, BlinkOnOff, 2020 + 760, 1, "0000000000000000", ShowPhase::Stay, BlinkOnOff},
        {2, BlinkOnOff, 380, 2, "0000000000000000", ShowPhase::Stay, BlinkOnOff},
        {2, BlinkInverse, 260, 1, kWide, ShowPhase::Stay, BlinkInverse},
        {2, BlinkInverse, 760, 1, "2221220211210201", ShowPhase::Stay, BlinkInverse},
        {1, BlinkInverse, 760, 1, "0010110001101001", ShowPhase::Stay, BlinkInverse},
        {2, NoStay, 15, 1, "0000000000000000", ShowPhase::Exit, AtOnce},
        {2, 11, 15, 1, "0000000000000000", ShowPhase::Exit, AtOnce}, // unknown: no stay
    };
    for (const auto &c : cases) {
        ShowMoment moment;
        EXPECT_EQ(frameAt(c.type == 2 ? kWide : single, properties(AtOnce, c.stayMode, AtOnce, 2),
                          c.ms, c.type, ShowOptions{0, QTime(0, 0), c.speedFactor}, &moment),
                  c.frame)
            << "stay " << c.stayMode << " at " << c.ms << " ms";
        EXPECT_EQ(moment, (ShowMoment{0, c.phase, c.code, false})) << "stay " << c.stayMode;
    }
    ShowMoment special;
    EXPECT_EQ(frameAt(kWide, properties(AtOnce, Special2, AtOnce), 5, 2, {}, &special), kWide);
    EXPECT_EQ(special, (ShowMoment{0, ShowPhase::Entry, AtOnce, true}));
}

TEST(Show, RandomChoicesFollowTheSeed)
{
    const std::vector<ShowScreen> screens(
        3, ShowScreen{ledsOf(kWide), properties(RandomEffect, RandomStay, RandomEffect)});
    // Every change of screen, phase or choice in one loop of the show.
    const auto played = [&](std::uint64_t seed) {
        const Show show(boardOf(16, 1, 2), screens, ShowOptions{seed});
        std::vector<ShowMoment> moments;
        for (std::int64_t ms = 0; ms < show.loopMs(); ms += 5)
            if (moments.empty() || !(moments.back() == show.momentAt(ms)))
                moments.push_back(show.momentAt(ms));
        return moments;
    };
    const std::vector<ShowMoment> seven = played(7);
    EXPECT_EQ(played(7), seven);
    EXPECT_NE(played(8), seven);
    std::set<int> effects, stays;
    for (const ShowMoment &m : seven)
        (m.phase == ShowPhase::Stay ? stays : effects).insert(m.code);
    EXPECT_GE(effects.size(), 8u);
    EXPECT_LE(*effects.rbegin(), AtOnce);
    EXPECT_EQ(stays, (std::set<int>{StayStill, BlinkOnOff, BlinkInverse}));
}

// A special screen stays still for its stay time, as "画面停留" does.
TEST(Show, SpecialScreensStayForTheirTime)
{
    for (const int mode : {Special1, Special2}) {
        ShowMoment moment;
        EXPECT_EQ(frameAt(kWide, properties(AtOnce, mode, AtOnce, 2), 1990, 2, {}, &moment), kWide);
        EXPECT_EQ(moment, (ShowMoment{0, ShowPhase::Stay, mode, true})) << "stay " << mode;
    }
}

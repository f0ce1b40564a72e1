#pragma once

#include "common/failure.h"

#include "led_image.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace pravik::document {
class ScreenList;
struct Vocabulary;
} // namespace pravik::document

namespace pravik::show {

// The stay modes by their code on the wire, in the order of the stay-mode
// names.
enum StayCode : int {
    StayStill = 0,    // "画面停留"
    BlinkOnOff = 1,   // "亮灭闪烁"
    BlinkInverse = 2, // "正反闪烁": normal and inverted by turns
    NoStay = 3,       // "连续显示": the next screen follows at once
    RandomStay = 4,   // "随机" (4 to 7): one of the four modes before it, each time anew
    ShowClock = 8,    // "显示时间": the time of day, for the stay time
    Special1 = 9,     // "特种幕1": stays still, as a special screen
    Special2 = 10,
};

inline constexpr int kRandomStayChoices = NoStay + 1;

// How the board shows one screen: the bytes the screen properties command
// carries, so the show plays exactly what the board was told.
struct ScreenProperties
{
    int entryEffect = 0;
    int entrySpeed = 1;
    int stayMode = StayStill;
    int stayTime = 1;
    int exitEffect = 0;
    int exitSpeed = 1;

    friend bool operator==(const ScreenProperties &, const ScreenProperties &) = default;
};

// One screen of a show: its LEDs and how it comes, stays and goes.
struct ShowScreen
{
    LedImage leds;
    ScreenProperties properties;
};

// The properties of screen `screenIndex` (list row screenIndex + 1), read as
// the screen properties command reads them; the command's own failure when a
// speed or the stay time is no byte.
common::Expected<ScreenProperties> screenProperties(const document::ScreenList &screens,
                                                    const document::Vocabulary &vocabulary,
                                                    std::uint8_t screenIndex);

} // namespace pravik::show

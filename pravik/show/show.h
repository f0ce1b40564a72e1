#pragma once

#include "show_screen.h"

#include <QTime>
#include <cstdint>
#include <vector>

namespace pravik::document {
struct BoardSettings;
}

namespace pravik::show {

enum class ShowPhase { Entry, Stay, Exit };

// Where a show is at one moment, for the caption beside its frame.
struct ShowMoment
{
    int screen = -1; // the screen's index in the list; -1 when the list holds none
    ShowPhase phase = ShowPhase::Stay;
    // Entry and exit: the effect playing; stay: the stay mode playing. A
    // random one is given as it was chosen.
    int code = 0;
    bool special = false; // the screen stays as "特种幕1" or "特种幕2"

    friend bool operator==(const ShowMoment &, const ShowMoment &) = default;
};

struct ShowOptions
{
    // Drives every random choice: the same seed plays the same show.
    std::uint64_t seed = 0;
    // The time of day when the show starts, which "显示时间" counts on from.
    QTime clockAtStart = QTime(0, 0);
    // One of kSpeedFactors: how much faster than the board the show plays.
    double speedFactor = 1;
};

// The random choices of a show start again after this many runs through the
// list, so a show with random effects loops too.
inline constexpr int kRandomRounds = 16;

// The screen list played as the board plays it, screen after screen, each
// with its entry effect, its stay and its exit effect (timing in
// show_timing.h), from the first screen again after the last. A pure model:
// the preview window and the animated-picture export ask it for the frame at
// a time and draw that frame themselves.
class Show
{
public:
    // `screens` as loadScreens gives them; every picture is cut or padded
    // to the board's size.
    Show(const document::BoardSettings &settings, std::vector<ShowScreen> screens,
         const ShowOptions &options = {});

    int screenCount() const { return int(m_screens.size()); }
    // The board's LEDs across and down: the size of every frame.
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The board's time of one loop, in milliseconds: a run through the list,
    // or kRandomRounds runs when something is chosen at random. 0 without
    // screens.
    std::int64_t loopMs() const { return m_loopMs; }

    // Where the show is after `elapsedMs` of watching (at the speed factor).
    ShowMoment momentAt(std::int64_t elapsedMs) const;
    // The same, with the LEDs lit then drawn into `frame`, which is reused
    // from call to call; the whole board is dark without screens.
    ShowMoment frameAt(std::int64_t elapsedMs, LedImage &frame) const;

private:
    struct Segment
    {
        std::int64_t startMs = 0; // within the loop
        std::int64_t stepMs = 0;  // entry and exit
        int screen = 0;
        ShowPhase phase = ShowPhase::Stay;
        int code = 0;
    };

    void planLoop();
    void addSegment(std::int64_t lengthMs, const Segment &segment);
    const Segment *segmentAt(std::int64_t boardMs) const;
    ShowMoment momentOf(const Segment *segment) const;
    void drawStay(const Segment &segment, std::int64_t boardMs, std::int64_t intoMs,
                  LedImage &frame) const;
    const LedImage &clockAt(std::int64_t boardMs) const;

    int m_screenType = 0;
    int m_width = 0;
    int m_height = 0;
    ShowOptions m_options;
    std::vector<ShowScreen> m_screens;
    std::vector<Segment> m_segments;
    std::int64_t m_loopMs = 0;
    // "显示时间" draws its text once a second of show time.
    mutable int m_clockSecond = -1;
    mutable LedImage m_clockLeds;
};

} // namespace pravik::show

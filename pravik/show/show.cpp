#include "show.h"

#include "show_clock.h"
#include "show_effects.h"
#include "show_timing.h"

#include "pravik/document/board_settings.h"

#include <algorithm>
#include <cstring>

namespace pravik::show {
namespace {

constexpr std::int64_t kDayMs = 24 * 3600 * 1000;

std::uint64_t mixBits(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

// A choice among `choices`, the same for the same seed, round, screen and
// purpose, so that any moment of a show can be drawn without playing the
// ones before it.
int randomChoice(std::uint64_t seed, int round, int screen, int purpose, int choices)
{
    const std::uint64_t bits = mixBits(mixBits(mixBits(seed) ^ std::uint64_t(round)) ^
                                       (std::uint64_t(screen) * 4 + std::uint64_t(purpose)));
    return int(bits % std::uint64_t(choices));
}

bool isRandomStay(int mode)
{
    return mode >= RandomStay && mode < ShowClock;
}

bool isSpecial(int mode)
{
    return mode == Special1 || mode == Special2;
}

// Cuts or pads a picture to the board's size.
LedImage fitted(const LedImage &leds, int width, int height)
{
    LedImage board(width, height);
    const int columns = std::min(width, leds.width());
    for (int y = 0; y < std::min(height, leds.height()); ++y)
        std::memcpy(board.row(y), leds.row(y), std::size_t(columns));
    return board;
}

} // namespace

Show::Show(const document::BoardSettings &settings, std::vector<ShowScreen> screens,
           const ShowOptions &options)
    : m_screenType(settings.scrtype), m_width(std::max<int>(settings.scrwidth, 0)),
      m_height(std::max<int>(settings.scrhigh, 0)), m_options(options),
      m_screens(std::move(screens))
{
    if (!m_options.clockAtStart.isValid())
        m_options.clockAtStart = QTime(0, 0);
    for (ShowScreen &screen : m_screens)
        if (screen.leds.width() != m_width || screen.leds.height() != m_height)
            screen.leds = fitted(screen.leds, m_width, m_height);
    planLoop();
}

void Show::addSegment(std::int64_t lengthMs, const Segment &segment)
{
    if (lengthMs <= 0)
        return;
    m_segments.push_back(segment);
    m_segments.back().startMs = m_loopMs;
    m_loopMs += lengthMs;
}

void Show::planLoop()
{
    const auto chosenAtRandom = [](const ShowScreen &screen) {
        const ScreenProperties &p = screen.properties;
        return p.entryEffect == RandomEffect || p.exitEffect == RandomEffect ||
               isRandomStay(p.stayMode);
    };
    const int rounds =
        std::any_of(m_screens.begin(), m_screens.end(), chosenAtRandom) ? kRandomRounds : 1;
    const auto played = [&](int effect, int round, int screen, int purpose) {
        if (effect == RandomEffect)
            return randomChoice(m_options.seed, round, screen, purpose, kRandomEffectChoices);
        // An unknown code plays as the board's fallback.
        return effect >= 0 && effect < kEffectCount ? effect : int(MoveLeft);
    };
    enum Purpose { EntryChoice, StayChoice, ExitChoice };
    // Speeds and the stay time reach the board as bytes.
    const auto byte = [](int value) { return std::clamp(value, 0, 255); };

    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < screenCount(); ++i) {
            const ScreenProperties &p = m_screens[std::size_t(i)].properties;
            const int entry = played(p.entryEffect, round, i, EntryChoice);
            const std::int64_t entryStepMs = stepMs(byte(p.entrySpeed));
            addSegment(effectSteps(entry, m_width, m_height) * entryStepMs,
                       Segment{0, entryStepMs, i, ShowPhase::Entry, entry});

            int stay = p.stayMode;
            if (isRandomStay(stay))
                stay = randomChoice(m_options.seed, round, i, StayChoice, kRandomStayChoices);
            else if (stay < StayStill || stay > Special2)
                stay = NoStay; // the board's fallback
            addSegment(stay == NoStay ? 0 : stayMs(byte(p.stayTime)),
                       Segment{0, 0, i, ShowPhase::Stay, stay});

            const int exit = played(p.exitEffect, round, i, ExitChoice);
            const std::int64_t exitStepMs = stepMs(byte(p.exitSpeed));
            addSegment(effectSteps(exit, m_width, m_height) * exitStepMs,
                       Segment{0, exitStepMs, i, ShowPhase::Exit, exit});
        }
    }
}

const Show::Segment *Show::segmentAt(std::int64_t boardMs) const
{
    if (m_segments.empty())
        return nullptr;
    const std::int64_t inLoop = ((boardMs % m_loopMs) + m_loopMs) % m_loopMs;
    const auto after = std::upper_bound(
        m_segments.begin(), m_segments.end(), inLoop,
        [](std::int64_t ms, const Segment &segment) { return ms < segment.startMs; });
    return &*std::prev(after);
}

ShowMoment Show::momentOf(const Segment *segment) const
{
    if (!segment)
        return ShowMoment{};
    const int stayMode = m_screens[std::size_t(segment->screen)].properties.stayMode;
    return ShowMoment{segment->screen, segment->phase, segment->code, isSpecial(stayMode)};
}

ShowMoment Show::momentAt(std::int64_t elapsedMs) const
{
    return momentOf(segmentAt(boardTimeMs(elapsedMs, m_options.speedFactor)));
}

ShowMoment Show::frameAt(std::int64_t elapsedMs, LedImage &frame) const
{
    const std::int64_t boardMs = boardTimeMs(elapsedMs, m_options.speedFactor);
    const Segment *segment = segmentAt(boardMs);
    if (!segment) {
        frame.resize(m_width, m_height);
        return ShowMoment{};
    }
    const std::int64_t inLoop = ((boardMs % m_loopMs) + m_loopMs) % m_loopMs;
    const std::int64_t intoMs = inLoop - segment->startMs;
    const LedImage &picture = m_screens[std::size_t(segment->screen)].leds;
    if (segment->phase == ShowPhase::Stay) {
        drawStay(*segment, boardMs, intoMs, frame);
    } else {
        drawEffectStep(picture, segment->code, segment->phase == ShowPhase::Exit,
                       int(intoMs / segment->stepMs), frame);
    }
    return momentOf(segment);
}

void Show::drawStay(const Segment &segment, std::int64_t boardMs, std::int64_t intoMs,
                    LedImage &frame) const
{
    const LedImage &picture = m_screens[std::size_t(segment.screen)].leds;
    const bool secondHalf = (intoMs / kBlinkHalfPeriodMs) % 2 == 1;
    switch (segment.code) {
    case BlinkOnOff:
        if (secondHalf) {
            frame.resize(m_width, m_height);
            return;
        }
        break;
    case BlinkInverse:
        if (secondHalf) {
            // Every plane inverted: on a three-colour board red and green
            // trade places, and yellow and dark.
            const std::uint8_t allPlanes = m_screenType == 2 ? Yellow : Red;
            frame = picture;
            for (int y = 0; y < m_height; ++y) {
                std::uint8_t *leds = frame.row(y);
                for (int x = 0; x < m_width; ++x)
                    leds[x] ^= allPlanes;
            }
            return;
        }
        break;
    case ShowClock:
        frame = clockAt(boardMs);
        return;
    default:
        break;
    }
    frame = picture;
}

const LedImage &Show::clockAt(std::int64_t boardMs) const
{
    const std::int64_t sinceMidnight =
        (m_options.clockAtStart.msecsSinceStartOfDay() + boardMs % kDayMs + kDayMs) % kDayMs;
    const int second = int(sinceMidnight / 1000);
    if (second != m_clockSecond) {
        m_clockLeds = clockLeds(QTime(0, 0).addSecs(second), m_width, m_height, m_screenType);
        m_clockSecond = second;
    }
    return m_clockLeds;
}

} // namespace pravik::show

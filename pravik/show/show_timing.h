#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

// How long the parts of a show last. The board's firmware alone knows what
// its speed and stay-time bytes mean; the show follows this one model so that
// previews of different screens compare fairly with each other:
// - an entry or exit effect moves one column (or row) a step (effectSteps
//   counts them) and a step lasts (speed + 1) x 10 ms, speed 0 the fastest;
// - the stay time counts whole seconds;
// - a blinking screen changes every half second, starting lit.
// The operator can watch the show faster or slower; the speed factor scales
// the board's time, not the model.
namespace pravik::show {

inline constexpr std::int64_t kStepUnitMs = 10;
inline constexpr std::int64_t kStaySecondMs = 1000;
inline constexpr std::int64_t kBlinkHalfPeriodMs = 500;

// The speeds a preview offers: half, normal, double and four times.
inline constexpr std::array<double, 4> kSpeedFactors{0.5, 1, 2, 4};

constexpr std::int64_t stepMs(int speed)
{
    return (speed + 1) * kStepUnitMs;
}

constexpr std::int64_t stayMs(int stayTime)
{
    return stayTime * kStaySecondMs;
}

// The board's time after `elapsedMs` of watching at `speedFactor`; a factor
// that is no positive number plays at the board's own pace.
inline std::int64_t boardTimeMs(std::int64_t elapsedMs, double speedFactor)
{
    if (!std::isfinite(speedFactor) || speedFactor <= 0)
        speedFactor = 1;
    constexpr double kLimit = 4e18;
    return std::int64_t(std::clamp(std::floor(double(elapsedMs) * speedFactor), -kLimit, kLimit));
}

} // namespace pravik::show

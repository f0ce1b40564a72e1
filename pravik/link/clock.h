#pragma once

#include <QDateTime>
#include <cstdint>

namespace pravik::link {

class Clock
{
public:
    virtual ~Clock() = default;
    // The local date and time of day, for the board's clock.
    virtual QDateTime currentDateTime() const = 0;
    // Milliseconds on a clock that never jumps, for time-outs.
    virtual std::int64_t monotonicMsecs() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime currentDateTime() const override;
    std::int64_t monotonicMsecs() const override;
};

} // namespace pravik::link

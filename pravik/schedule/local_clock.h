#pragma once

#include "schedule.h"

#include <QTimeZone>

namespace pravik::schedule {

// The wall-clock minute of UTC instants in one zone. It keeps the offset
// until the zone's next transition, so walking forward minute by minute asks
// the zone once per transition rather than once per minute.
class LocalClock
{
public:
    explicit LocalClock(const QTimeZone &zone) : m_zone(zone) {}

    LocalMinute at(qint64 utcMsecs);

private:
    void learnOffset(qint64 utcMsecs);

    QTimeZone m_zone;
    qint64 m_from = 0;  // the offset holds from here ...
    qint64 m_until = 0; // ... until here (not included)
    qint64 m_offsetMsecs = 0;
};

inline constexpr qint64 kMinuteMsecs = 60 * 1000;

} // namespace pravik::schedule

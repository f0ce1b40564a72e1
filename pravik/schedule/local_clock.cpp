#include "local_clock.h"

#include <QDateTime>
#include <limits>

namespace pravik::schedule {
namespace {

constexpr qint64 kDayMsecs = 24 * 60 * kMinuteMsecs;
constexpr qint64 kUnixEpochJulianDay = 2440588;

qint64 floorDivide(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0 && a < 0) ? 1 : 0);
}

} // namespace

LocalMinute LocalClock::at(qint64 utcMsecs)
{
    if (utcMsecs < m_from || utcMsecs >= m_until)
        learnOffset(utcMsecs);
    const qint64 local = utcMsecs + m_offsetMsecs;
    const qint64 days = floorDivide(local, kDayMsecs);
    return LocalMinute{kUnixEpochJulianDay + days,
                       static_cast<int>((local - days * kDayMsecs) / kMinuteMsecs)};
}

void LocalClock::learnOffset(qint64 utcMsecs)
{
    const QDateTime instant = QDateTime::fromMSecsSinceEpoch(utcMsecs, Qt::UTC);
    // A zone that is not valid has offset 0: the schedule runs on UTC.
    m_offsetMsecs = qint64(m_zone.offsetFromUtc(instant)) * 1000;
    m_from = utcMsecs;
    m_until = std::numeric_limits<qint64>::max();
    if (m_zone.isValid() && m_zone.hasTransitions()) {
        const QTimeZone::OffsetData next = m_zone.nextTransition(instant);
        if (next.atUtc.isValid())
            m_until = std::max(next.atUtc.toMSecsSinceEpoch(), utcMsecs + 1);
    }
}

} // namespace pravik::schedule

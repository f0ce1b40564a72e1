#include "system_service_clock.h"

#include <algorithm>

namespace pravikd {
namespace {

// However far off the wake-up, the timer looks again at least this often, so
// that a wall clock set forward or back is noticed within a minute.
constexpr qint64 kLongestSleepMsecs = 60 * 1000;

} // namespace

SystemServiceClock::SystemServiceClock(const QDateTime &start, QObject *parent)
    : QObject(parent), m_start(start)
{
    m_sinceStart.start();
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5% late: a minute's change a few seconds late.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SystemServiceClock::timedOut);
}

QDateTime SystemServiceClock::now() const
{
    if (m_start.isValid())
        return m_start.toUTC().addMSecs(m_sinceStart.elapsed());
    return QDateTime::currentDateTimeUtc();
}

void SystemServiceClock::wakeAt(const QDateTime &at, std::function<void()> wake)
{
    m_at = at;
    m_wake = at.isValid() ? std::move(wake) : nullptr;
    if (m_wake)
        arm();
    else
        m_timer.stop();
}

void SystemServiceClock::arm()
{
    const qint64 left = now().msecsTo(m_at);
    m_timer.start(int(std::clamp<qint64>(left, 0, kLongestSleepMsecs)));
}

void SystemServiceClock::timedOut()
{
    if (!m_wake)
        return;
    if (now() < m_at) {
        arm();
        return;
    }
    // The wake-up may ask for the next one: it must find this one gone.
    const std::function<void()> wake = std::move(m_wake);
    m_wake = nullptr;
    wake();
}

common::Expected<QDateTime> testClockStart()
{
    const QString text = qEnvironmentVariable(kTestClockVariable);
    if (text.isEmpty())
        return QDateTime();
    const QDateTime start = QDateTime::fromString(text, Qt::ISODate);
    if (!start.isValid() || start.timeSpec() == Qt::LocalTime)
        return common::Failure{common::kRefusedCode, QString(),
                               QStringLiteral("%1 is a time with its offset from UTC, such as "
                                              "2026-12-24T07:59:58+01:00, not '%2'")
                                   .arg(QLatin1String(kTestClockVariable), text),
                               common::MessageIcon::Error};
    return start;
}

} // namespace pravikd

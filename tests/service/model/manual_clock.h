#pragma once

#include "pravik/service/service_clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>

// The service's time moved by the test: the wake-up fires when the test moves
// the time to or past it.
class ManualClock : public pravik::service::ServiceClock
{
public:
    explicit ManualClock(QDateTime start) : m_now(std::move(start)) {}

    QDateTime now() const override { return m_now; }
    void wakeAt(const QDateTime &at, std::function<void()> wake) override
    {
        m_wakeAt = at;
        m_wake = std::move(wake);
    }

    // Moves the time on, firing each wake-up that comes due on the way.
    void moveTo(const QDateTime &to)
    {
        while (m_wake && m_wakeAt.isValid() && m_wakeAt <= to) {
            m_now = std::max(m_now, m_wakeAt);
            auto wake = std::exchange(m_wake, nullptr);
            m_wakeAt = QDateTime();
            wake();
        }
        m_now = to;
    }
    void moveBy(qint64 seconds) { moveTo(m_now.addSecs(seconds)); }

private:
    QDateTime m_now;
    QDateTime m_wakeAt;
    std::function<void()> m_wake;
};

// Runs the keeper's events until `done` holds (its boards' work is back), for
// 30 s at the most.
inline bool until(const std::function<bool()> &done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 30'000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

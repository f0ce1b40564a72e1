#pragma once

#include "pravik/service/service_clock.h"

#include "common/failure.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace pravikd {

// The service's time in the running program: the wall clock, or, for tests
// of the whole program, a clock that starts at a given instant and runs at
// real speed from there.
class SystemServiceClock : public QObject, public pravik::service::ServiceClock
{
public:
    // `start` invalid: the wall clock.
    explicit SystemServiceClock(const QDateTime &start = {}, QObject *parent = nullptr);

    QDateTime now() const override;
    void wakeAt(const QDateTime &at, std::function<void()> wake) override;

private:
    void arm();
    void timedOut();

    QDateTime m_start;
    QElapsedTimer m_sinceStart;
    QTimer m_timer;
    QDateTime m_at;
    std::function<void()> m_wake;
};

// The variable that starts the clock at an instant of a test's choosing.
inline constexpr char kTestClockVariable[] = "PRAVIKD_TEST_CLOCK";

// The instant $PRAVIKD_TEST_CLOCK names ("2026-12-24T07:59:58+01:00"), an
// invalid one when it is not set, or a failure when it is no time with an
// offset.
common::Expected<QDateTime> testClockStart();

} // namespace pravikd

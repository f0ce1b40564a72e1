#pragma once

#include <QDateTime>
#include <functional>

namespace pravik::service {

// The service's time: what time it is, and a wake-up at a time to come. The
// service never reads the wall clock itself, so a test can move its time.
class ServiceClock
{
public:
    virtual ~ServiceClock() = default;
    virtual QDateTime now() const = 0;
    // Calls `wake` on the service's thread once `at` has come; a later call
    // replaces the wake-up before it.
    virtual void wakeAt(const QDateTime &at, std::function<void()> wake) = 0;
};

} // namespace pravik::service

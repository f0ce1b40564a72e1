#include "clock.h"

#include <chrono>

namespace pravik::link {

QDateTime SystemClock::currentDateTime() const
{
    return QDateTime::currentDateTime();
}

std::int64_t SystemClock::monotonicMsecs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace pravik::link

#include "tick_waiter.h"

#include <chrono>
#include <thread>

namespace pravik::link {

void SleepingTickWaiter::waitOneTick()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

} // namespace pravik::link

#pragma once

namespace pravik::link {

// Waits for one tick of the 10 ms timer: the pause after each packet when the
// board's echo is not awaited.
class TickWaiter
{
public:
    virtual ~TickWaiter() = default;
    virtual void waitOneTick() = 0;
};

// Sleeps the calling thread for one tick. Transfers run on a thread of their
// own, so nothing else waits meanwhile.
class SleepingTickWaiter : public TickWaiter
{
public:
    void waitOneTick() override;
};

} // namespace pravik::link

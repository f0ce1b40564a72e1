#pragma once

class QTimer;

namespace pravik::link {

// Waits for one tick of the 10 ms timer while window events go on running:
// the pause after each packet when the board's echo is not awaited.
class TickWaiter
{
public:
    virtual ~TickWaiter() = default;
    virtual void waitOneTick() = 0;
};

// Uses the given timer (the main window's Timer1): the tick sets the tick flag
// and stops the timer.
class TimerTickWaiter : public TickWaiter
{
public:
    explicit TimerTickWaiter(QTimer &timer);
    void waitOneTick() override;

private:
    QTimer &m_timer;
    bool m_tickFlag = false;
};

} // namespace pravik::link

#include "tick_waiter.h"

#include <QCoreApplication>
#include <QTimer>

namespace pravik::link {

TimerTickWaiter::TimerTickWaiter(QTimer &timer) : m_timer(timer)
{
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
        m_tickFlag = true;
        m_timer.stop();
    });
}

void TimerTickWaiter::waitOneTick()
{
    m_tickFlag = false;
    m_timer.setInterval(10);
    m_timer.start();
    while (!m_tickFlag)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace pravik::link

#include "event_pump.h"

#include "transport.h"

#include <QCoreApplication>

namespace pravik::link {

void EventPump::run()
{
    if (m_sinceLastRun.isValid() && m_sinceLastRun.elapsed() < kKeepAliveSliceMsecs / 2)
        return;
    QCoreApplication::processEvents();
    m_sinceLastRun.start();
}

void EventPump::runNow()
{
    QCoreApplication::processEvents();
    m_sinceLastRun.invalidate();
}

} // namespace pravik::link

#pragma once

#include <QElapsedTimer>

namespace pravik::link {

// Runs the program's pending events during a transfer, at most once every
// half keep-alive slice: the exchange asks once a frame, thousands of times
// a second on a fast link, and a window needs far fewer turns than that.
class EventPump
{
public:
    void run();
    // A new transfer: the first request runs the events at once.
    void restart() { m_sinceLastRun.invalidate(); }

private:
    QElapsedTimer m_sinceLastRun;
};

} // namespace pravik::link

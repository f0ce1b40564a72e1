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
    // Runs the events now, whatever the time, and lets the next request
    // through as well: a transfer begins with a repaint of the whole window.
    void runNow();

private:
    QElapsedTimer m_sinceLastRun;
};

} // namespace pravik::link

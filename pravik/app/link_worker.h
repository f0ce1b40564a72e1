#pragma once

#include "pravik/document/board_settings.h"

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QEventLoop;

namespace pravik::link {
class BoardSession;
}

namespace pravik::app {

// The window's link to its board on a thread of its own: the serial port and
// the UDP socket live there, and every transfer, command and opening of the
// link runs there, so that the window keeps drawing and answering meanwhile.
class LinkWorker
{
public:
    using Work = std::function<void(link::BoardSession &session)>;

    LinkWorker();
    // The port and socket are closed on their own thread.
    ~LinkWorker();
    LinkWorker(const LinkWorker &) = delete;
    LinkWorker &operator=(const LinkWorker &) = delete;

    // Runs `work` on the link's thread, against the board of `settings` as
    // they are now, and returns once it has ended. The calling thread runs
    // its events meanwhile; should the program be told to quit, the wait goes
    // on without them, since the work ends after the frame on the wire.
    void run(const document::BoardSettings &settings, const Work &work);

    // Where the work posts what the window is to show; whatever is still
    // posted when the work ends is shown before run() returns.
    QObject *windowSide() { return &m_onCaller; }

private:
    QThread m_thread;
    QObject *m_onThread = nullptr;      // lives on m_thread: work is posted to it
    QObject m_onCaller;                 // lives on the window's thread: the end is posted to it
    QEventLoop *m_waiting = nullptr;    // the caller's loop while it waits
    int m_run = 0;                      // which run the caller waits for
    document::BoardSettings m_settings; // the session's, used on m_thread only
    std::unique_ptr<link::BoardSession> m_session;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_workEnded = true;
};

} // namespace pravik::app

#pragma once

#include "common/prompter.h"

#include <condition_variable>
#include <functional>
#include <mutex>

class QObject;

namespace pravik::app {

// The questions and notices of work on the link's thread, shown on the
// window's thread by the window's prompter while the work waits for the
// answer. The window leaves its transfer mode while a box is up: there is
// nothing to stop then. Once the window has closed, every question gets the
// answer that changes nothing, at once.
class ThreadPrompter : public common::Prompter
{
public:
    // `windowSide` lives on the window's thread; `pause` and `resume` run
    // there around each box.
    ThreadPrompter(common::Prompter &window, QObject *windowSide, std::function<void()> pause,
                   std::function<void()> resume);

    // On the work's thread.
    common::MessageAnswer show(const common::Message &message) override;
    // On the window's thread: nothing more is shown.
    void windowClosed();

private:
    common::Prompter &m_window;
    QObject *m_windowSide;
    std::function<void()> m_pause;
    std::function<void()> m_resume;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_closed = false;
};

} // namespace pravik::app

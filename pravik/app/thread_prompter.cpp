#include "thread_prompter.h"

#include <QObject>
#include <memory>
#include <optional>

namespace pravik::app {

ThreadPrompter::ThreadPrompter(common::Prompter &window, QObject *windowSide,
                               std::function<void()> pause, std::function<void()> resume)
    : m_window(window), m_windowSide(windowSide), m_pause(std::move(pause)),
      m_resume(std::move(resume))
{
}

common::MessageAnswer ThreadPrompter::show(const common::Message &message)
{
    // Shared with the window's side, which may answer after this has given up.
    const auto answer = std::make_shared<std::optional<common::MessageAnswer>>();
    {
        const std::lock_guard lock(m_mutex);
        if (m_closed)
            return common::answerChangingNothing(message);
    }
    QMetaObject::invokeMethod(
        m_windowSide,
        [this, message, answer] {
            m_pause();
            const common::MessageAnswer given = m_window.show(message);
            m_resume();
            {
                const std::lock_guard lock(m_mutex);
                *answer = given;
            }
            m_answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_answered.wait(lock, [&] { return answer->has_value() || m_closed; });
    return answer->value_or(common::answerChangingNothing(message));
}

void ThreadPrompter::windowClosed()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_answered.notify_all();
}

} // namespace pravik::app

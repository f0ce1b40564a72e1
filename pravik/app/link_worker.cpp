#include "link_worker.h"

#include "pravik/link/board_session.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace pravik::app {

LinkWorker::LinkWorker() : m_onThread(new QObject)
{
    m_thread.setObjectName(QStringLiteral("board link"));
    m_onThread->moveToThread(&m_thread);
    m_thread.start();
}

LinkWorker::~LinkWorker()
{
    QMetaObject::invokeMethod(
        m_onThread,
        [this] {
            m_session.reset();
            delete m_onThread;
            m_thread.quit();
        },
        Qt::QueuedConnection);
    m_thread.wait();
}

void LinkWorker::run(const document::BoardSettings &settings, const Work &work)
{
    // The window's transfer mode keeps a second piece of work from starting
    // while one runs.
    Q_ASSERT(!m_waiting);
    {
        const std::lock_guard lock(m_mutex);
        m_workEnded = false;
    }
    const int run = ++m_run;
    QMetaObject::invokeMethod(
        m_onThread,
        [this, settings, &work, run] {
            // The settings are the window's as the work began; the session
            // keeps reading this copy, which only this thread touches.
            m_settings = settings;
            if (!m_session)
                m_session = std::make_unique<link::BoardSession>(m_settings);
            work(*m_session);
            {
                const std::lock_guard lock(m_mutex);
                m_workEnded = true;
            }
            m_ended.notify_all();
            QMetaObject::invokeMethod(
                &m_onCaller,
                [this, run] {
                    // An end that comes after its caller stopped waiting
                    // must not end the wait for later work.
                    if (m_waiting && run == m_run)
                        m_waiting->quit();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);

    QEventLoop waiting;
    m_waiting = &waiting;
    {
        std::unique_lock lock(m_mutex);
        if (!m_workEnded) {
            lock.unlock();
            waiting.exec();
        }
    }
    m_waiting = nullptr;
    {
        std::unique_lock lock(m_mutex);
        m_ended.wait(lock, [this] { return m_workEnded; });
    }
    QCoreApplication::sendPostedEvents(&m_onCaller, QEvent::MetaCall);
}

} // namespace pravik::app

#include "thread_job_view.h"

#include <QObject>

namespace pravik::app {

void ThreadJobView::beginTransfer(int progressMaximum)
{
    QMetaObject::invokeMethod(
        m_windowSide, [this, progressMaximum] { m_window.beginTransfer(progressMaximum); },
        Qt::QueuedConnection);
}

void ThreadJobView::showScreen(int row, const QString &caption, const picture::BoardCanvas &canvas)
{
    const std::lock_guard lock(m_mutex);
    // The strips are shared, not copied: the next screen drawn on them makes
    // the work's canvas a copy of its own.
    m_latest.screen = Screen{row, caption, canvas};
    postLatest();
}

void ThreadJobView::setProgress(int value)
{
    const std::lock_guard lock(m_mutex);
    m_latest.progress = value;
    postLatest();
}

void ThreadJobView::endTransfer(bool restoreWindow)
{
    // Posted after any delivery still on its way, so the last screen and
    // progress are shown before the end.
    QMetaObject::invokeMethod(
        m_windowSide, [this, restoreWindow] { m_window.endTransfer(restoreWindow); },
        Qt::QueuedConnection);
}

void ThreadJobView::postLatest()
{
    if (m_posted)
        return;
    m_posted = true;
    QMetaObject::invokeMethod(
        m_windowSide, [this] { deliverLatest(); }, Qt::QueuedConnection);
}

void ThreadJobView::deliverLatest()
{
    Latest latest;
    {
        const std::lock_guard lock(m_mutex);
        latest = std::exchange(m_latest, {});
        m_posted = false;
    }
    if (latest.screen)
        m_window.showScreen(latest.screen->row, latest.screen->caption, latest.screen->canvas);
    if (latest.progress)
        m_window.setProgress(*latest.progress);
}

} // namespace pravik::app

#include "thread_job_view.h"

#include "pravik/picture/board_canvas.h"

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
    // The strips are shared, not copied: the next screen drawn on them makes
    // the work's canvas a copy of its own.
    QMetaObject::invokeMethod(
        m_windowSide,
        [this, row, caption, shown = canvas] { m_window.showScreen(row, caption, shown); },
        Qt::QueuedConnection);
}

void ThreadJobView::setProgress(int value)
{
    QMetaObject::invokeMethod(
        m_windowSide, [this, value] { m_window.setProgress(value); }, Qt::QueuedConnection);
}

void ThreadJobView::endTransfer(bool restoreWindow)
{
    QMetaObject::invokeMethod(
        m_windowSide, [this, restoreWindow] { m_window.endTransfer(restoreWindow); },
        Qt::QueuedConnection);
}

} // namespace pravik::app

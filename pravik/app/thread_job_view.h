#pragma once

#include "pravik/jobs/job_view.h"

class QObject;

namespace pravik::app {

// A transfer on the link's thread shown by the window's view on the window's
// thread: every call is posted there, in order, with a copy of the canvas.
class ThreadJobView : public jobs::JobView
{
public:
    ThreadJobView(jobs::JobView &window, QObject *windowSide)
        : m_window(window), m_windowSide(windowSide)
    {
    }

    void beginTransfer(int progressMaximum) override;
    void showScreen(int row, const QString &caption, const picture::BoardCanvas &canvas) override;
    void setProgress(int value) override;
    void endTransfer(bool restoreWindow) override;

private:
    jobs::JobView &m_window;
    QObject *m_windowSide;
};

} // namespace pravik::app

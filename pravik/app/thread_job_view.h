#pragma once

#include "pravik/jobs/job_view.h"
#include "pravik/picture/board_canvas.h"

#include <mutex>
#include <optional>

class QObject;

namespace pravik::app {

// A transfer on the link's thread shown by the window's view on the window's
// thread. The start and the end are posted there in order; the screens and
// the progress in between are only ever shown at their latest: over UDP a
// transfer outruns any window, and a queue of every screen's preview would
// keep the window from its own events until it had drawn them all.
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
    struct Screen
    {
        int row;
        QString caption;
        picture::BoardCanvas canvas;
    };
    struct Latest
    {
        std::optional<Screen> screen;
        std::optional<int> progress;
    };

    // Posts one delivery unless one is already on its way.
    void postLatest();
    // On the window's thread: shows what is latest and empties it.
    void deliverLatest();

    jobs::JobView &m_window;
    QObject *m_windowSide;
    std::mutex m_mutex;
    Latest m_latest;
    bool m_posted = false;
};

} // namespace pravik::app

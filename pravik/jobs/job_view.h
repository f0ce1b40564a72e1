#pragma once

#include <QString>

namespace pravik::picture {
class BoardCanvas;
}

namespace pravik::jobs {

// What a transfer shows while it runs: the main window's preview, caption and
// progress bar, or a progress line on a terminal. (What the operator may do
// meanwhile is the window's transfer mode, for every transfer alike.)
class JobView
{
public:
    virtual ~JobView() = default;
    // The transfer starts: progress from 0 to `progressMaximum`, the cell
    // editors out of the way, the window large enough for the preview and
    // the preview shown.
    virtual void beginTransfer(int progressMaximum) = 0;
    // Screen `row` of the list is about to go out: its canvas and caption.
    virtual void showScreen(int row, const QString &caption, const picture::BoardCanvas &canvas) = 0;
    virtual void setProgress(int value) = 0;
    // The transfer is over: preview and progress hidden, and the window back
    // at its size when `restoreWindow`.
    virtual void endTransfer(bool restoreWindow) = 0;
};

} // namespace pravik::jobs

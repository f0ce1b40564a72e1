#pragma once

#include "pravik/jobs/job_view.h"

#include <QList>
#include <QRect>

class QGroupBox;
class QLabel;
class QMainWindow;
class QProgressBar;
class QWidget;

namespace pravik::app {

// The main window's side of a transfer: the preview frame "scrFrame" with
// the canvas strips over the grid, its caption, the progress bar "p", and the
// window enlarged for the preview and restored after. The grid is disabled
// by the window's transfer mode, which covers every transfer.
// Changes are painted when the window next runs its events, which it does
// between frames and while it waits for the board.
class TransferView : public jobs::JobView
{
public:
    struct Widgets
    {
        QMainWindow *window;
        QGroupBox *frame;
        QLabel *strip1;
        QLabel *strip2;
        QProgressBar *progress;
        QList<QWidget *> cellEditors;
    };

    explicit TransferView(const Widgets &widgets) : m_w(widgets) {}

    // Sizes the preview frame for the canvas, as the canvas layout does.
    void layoutFrame(int width, int height, int stripWidth);

    void beginTransfer(int progressMaximum) override;
    void showScreen(int row, const QString &caption, const picture::BoardCanvas &canvas) override;
    void setProgress(int value) override;
    void endTransfer(bool restoreWindow) override;

private:
    void centreWindow();

    Widgets m_w;
    // The window's place before the transfer enlarged it, and where the
    // transfer put it: a window found elsewhere at the end was moved or
    // resized by the operator, who keeps it there.
    QRect m_savedPlace;
    QRect m_transferPlace;
};

} // namespace pravik::app

#include "transfer_view.h"

#include "pravik/picture/board_canvas.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>

#include <utility>

namespace pravik::app {
namespace {

// The window keeps this much room around the preview: 990 twips of height
// (menu, toolbar, status bar) and 100 twips of width, at 15 twips a pixel.
constexpr int kRoomAbove = 66;
constexpr int kRoomBeside = 7;
constexpr int kStripTop = 18;
constexpr int kStripLeft = 5;

// Where the window stands and how large it is, as move() and resize() take them.
QRect place(const QWidget &window)
{
    return QRect(window.pos(), window.size());
}

} // namespace

void TransferView::layoutFrame(int width, int height, int stripWidth)
{
    if (width <= stripWidth) {
        m_w.frame->resize(width + 15, height + 28);
        m_w.strip1->setGeometry(kStripLeft, kStripTop, width + 4, height + 4);
        m_w.strip2->hide();
    } else {
        m_w.frame->resize(stripWidth + 15, 2 * height + 50);
        m_w.strip1->setGeometry(kStripLeft, kStripTop, stripWidth + 4, height + 4);
        m_w.strip2->setGeometry(kStripLeft, height + 25, width - stripWidth + 4, height + 4);
        m_w.strip2->show();
    }
}

void TransferView::beginTransfer(int progressMaximum)
{
    m_w.progress->setRange(0, progressMaximum);
    m_w.progress->setValue(0);
    m_w.progress->show();
    for (QWidget *editor : m_w.cellEditors)
        editor->lower();

    QMainWindow *window = m_w.window;
    m_savedPlace = place(*window);
    QSize size = window->size();
    if (m_w.frame->height() + kRoomAbove > size.height())
        size.setHeight(m_w.frame->height() + kRoomAbove + 1);
    if (m_w.frame->width() + kRoomBeside > size.width())
        size.setWidth(m_w.frame->width() + 9);
    if (window->windowState() == Qt::WindowNoState) {
        window->resize(size);
        centreWindow();
    }
    m_transferPlace = place(*window);

    m_w.frame->move(0, 0);
    m_w.frame->show();
    m_w.frame->raise();
    m_w.frame->update();
}

void TransferView::showScreen(int, const QString &caption, const picture::BoardCanvas &canvas)
{
    m_w.frame->setTitle(caption);
    m_w.strip1->setPixmap(QPixmap::fromImage(canvas.strip1()));
    if (canvas.usesTwoStrips())
        m_w.strip2->setPixmap(QPixmap::fromImage(canvas.strip2()));
    m_w.frame->update();
}

void TransferView::setProgress(int value)
{
    m_w.progress->setValue(value);
    m_w.progress->update();
}

void TransferView::endTransfer(bool restoreWindow)
{
    m_w.frame->hide();
    m_w.progress->hide();
    // Only the place saved when this transfer began is given back: a job that
    // ends without showing the preview (Change Property) leaves the window be,
    // and so does an operator who moved or resized it meanwhile.
    const QRect saved = std::exchange(m_savedPlace, QRect());
    QMainWindow *window = m_w.window;
    if (restoreWindow && saved.isValid() && window->windowState() == Qt::WindowNoState &&
        place(*window) == m_transferPlace) {
        window->resize(saved.size());
        window->move(saved.topLeft());
    }
}

void TransferView::centreWindow()
{
    const QScreen *screen = m_w.window->screen();
    if (!screen)
        return;
    const QRect desktop = screen->availableGeometry();
    const QSize size = m_w.window->frameGeometry().size();
    m_w.window->move(desktop.x() + (desktop.width() - size.width()) / 2,
                     desktop.y() + (desktop.height() - size.height()) / 2);
}

} // namespace pravik::app

#include "led_board_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <cstring>

namespace pravik::show_window {

LedBoardView::LedBoardView(QWidget *parent) : QWidget(parent)
{
    // The board image covers what it draws; the panel around it is filled here.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int LedBoardView::fittingPitch() const
{
    if (m_leds.isEmpty())
        return kMinimumPitch;
    return std::max(kMinimumPitch, std::min(width() / m_leds.width(), height() / m_leds.height()));
}

QPoint LedBoardView::boardOrigin() const
{
    return QPoint(std::max(0, (width() - m_board.width()) / 2),
                  std::max(0, (height() - m_board.height()) / 2));
}

QPoint LedBoardView::ledOrigin(int x, int y) const
{
    return boardOrigin() + QPoint(x * pitch(), y * pitch());
}

void LedBoardView::redrawAll()
{
    m_dots.setPitch(fittingPitch());
    m_board = m_dots.boardImage(m_leds);
    m_dots.drawRows(m_leds, 0, m_leds.height(), m_board);
    update();
}

void LedBoardView::setFrame(const show::LedImage &frame)
{
    if (frame.width() != m_leds.width() || frame.height() != m_leds.height()) {
        m_leds = frame;
        updateGeometry();
        redrawAll();
        return;
    }
    // Effects change a few rows or columns a step: the rows that did not
    // change keep their pixels.
    int first = -1;
    int last = -1;
    const std::size_t rowBytes = std::size_t(frame.width());
    for (int y = 0; y < frame.height(); ++y) {
        if (std::memcmp(frame.row(y), m_leds.row(y), rowBytes) == 0)
            continue;
        std::memcpy(m_leds.row(y), frame.row(y), rowBytes);
        m_dots.drawRows(m_leds, y, y + 1, m_board);
        if (first < 0)
            first = y;
        last = y;
    }
    if (first >= 0)
        update(QRect(ledOrigin(0, first), QSize(m_board.width(), (last - first + 1) * pitch())));
}

void LedBoardView::resizeEvent(QResizeEvent *)
{
    if (fittingPitch() != pitch() || m_board.isNull())
        redrawAll();
}

void LedBoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect board(boardOrigin(), m_board.size());
    const QRegion panel = QRegion(event->rect()).subtracted(board);
    for (const QRect &rect : panel)
        painter.fillRect(rect, QColor(kPanelColour));
    const QRect drawn = event->rect().intersected(board);
    if (!drawn.isEmpty())
        painter.drawImage(drawn.topLeft(), m_board, drawn.translated(-board.topLeft()));
}

QSize LedBoardView::minimumSizeHint() const
{
    return QSize(m_leds.width(), m_leds.height()) * kMinimumPitch;
}

QSize LedBoardView::sizeHint() const
{
    return QSize(m_leds.width(), m_leds.height()) * pitch();
}

} // namespace pravik::show_window

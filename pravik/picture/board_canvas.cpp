#include "board_canvas.h"

#include "pravik/document/program_texts.h"

#include "common/prompter.h"

#include <QPainter>

namespace pravik::picture {

void BoardCanvas::resize(int width, int height, int stripWidth)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_stripWidth = std::max(stripWidth, 8);
    m_strip1 = QImage(std::min(m_width, m_stripWidth), m_height, QImage::Format_RGB32);
    m_strip2 = QImage(std::max(m_width - m_stripWidth, 0), m_height, QImage::Format_RGB32);
    clear();
}

void BoardCanvas::clear()
{
    m_strip1.fill(Qt::black);
    m_strip2.fill(Qt::black);
}

namespace {

// Copies the picture's rows straight into a strip, starting at picture column
// `fromColumn`; only for opaque pictures, which need no blending.
void copyRows(const QImage &picture, int fromColumn, QImage &strip)
{
    const int columns = std::min(picture.width() - fromColumn, strip.width());
    const int rows = std::min(picture.height(), strip.height());
    if (columns <= 0)
        return;
    for (int y = 0; y < rows; ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(picture.constScanLine(y)) + fromColumn;
        std::copy(source, source + columns, reinterpret_cast<QRgb *>(strip.scanLine(y)));
    }
}

} // namespace

void BoardCanvas::drawPicture(const QImage &picture)
{
    clear();
    if (!picture.hasAlphaChannel()) {
        // Most pictures are opaque: their rows are copied as they are, which
        // keeps a long list of screens quick to send.
        const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
        copyRows(opaque, 0, m_strip1);
        if (usesTwoStrips())
            copyRows(opaque, m_stripWidth, m_strip2);
        return;
    }
    {
        QPainter painter(&m_strip1);
        painter.drawImage(0, 0, picture);
    }
    if (usesTwoStrips()) {
        // Strip 2 shows the same picture shifted left by one strip.
        QPainter painter(&m_strip2);
        painter.drawImage(-m_stripWidth, 0, picture);
    }
}

QRgb BoardCanvas::pixel(int x, int y) const
{
    return x < m_stripWidth ? m_strip1.pixel(x, y) : m_strip2.pixel(x - m_stripWidth, y);
}

QImage BoardCanvas::composed() const
{
    QImage whole(m_width, m_height, QImage::Format_RGB32);
    whole.fill(Qt::black);
    QPainter painter(&whole);
    painter.drawImage(0, 0, m_strip1);
    painter.drawImage(m_stripWidth, 0, m_strip2);
    return whole;
}

void layoutCanvas(BoardCanvas &canvas, int width, int height, int stripWidth,
                  const DesktopHeight &desktop, common::Prompter &prompter)
{
    if (2 * stripWidth < width)
        prompter.tell(kDesktopTooNarrowText, kProgramTitle, common::MessageIcon::None);
    if (stripWidth < width) {
        // The two-strip preview frame is 2H + 50 pixels high; the window needs
        // 990 twips of its own above and below it.
        const double frameTwips = (2.0 * height + 50) * desktop.twipsPerPixel;
        if (frameTwips + 990 > desktop.pixels * desktop.twipsPerPixel)
            prompter.tell(kDesktopTooLowText, kProgramTitle, common::MessageIcon::None);
    }
    canvas.resize(width, height, stripWidth);
}

} // namespace pravik::picture

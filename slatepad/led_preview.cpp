#include "led_preview.h"

#include <QPainter>

namespace slatepad {
namespace {

constexpr int kLargestPitch = 12;
constexpr int kPreferredPitch = 6;
// A board wider than the screen still shows every LED, one pixel each.
constexpr int kSmallestPitch = 1;
// An LED that is off still shows as a dim square, so the board's grid is seen.
constexpr QRgb kDarkLed = 0xFF262626;

} // namespace

LedPreview::LedPreview(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ledPreview"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
}

void LedPreview::setLeds(const QImage &leds)
{
    const bool resized = leds.size() != m_leds.size();
    m_leds = leds;
    if (resized)
        updateGeometry();
    update();
}

int LedPreview::pitch() const
{
    if (m_leds.isNull())
        return kPreferredPitch;
    const int fit = std::min(width() / m_leds.width(), height() / m_leds.height());
    return std::clamp(fit, kSmallestPitch, kLargestPitch);
}

QSize LedPreview::sizeHint() const
{
    return m_leds.size() * kPreferredPitch;
}

QSize LedPreview::minimumSizeHint() const
{
    return m_leds.size() * kSmallestPitch;
}

void LedPreview::paintEvent(QPaintEvent *)
{
    if (m_leds.isNull())
        return;
    QPainter painter(this);
    const int step = pitch();
    const int led = step > 3 ? step - 1 : step;
    const QPoint origin((width() - m_leds.width() * step) / 2,
                        (height() - m_leds.height() * step) / 2);
    for (int y = 0; y < m_leds.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(m_leds.constScanLine(y));
        for (int x = 0; x < m_leds.width(); ++x) {
            const QRgb colour = (line[x] & 0x00FFFFFFu) == 0 ? kDarkLed : line[x];
            painter.fillRect(origin.x() + x * step, origin.y() + y * step, led, led, QColor(colour));
        }
    }
}

} // namespace slatepad

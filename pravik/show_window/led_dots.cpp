#include "led_dots.h"

#include "pravik/picture/led_view.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace pravik::show_window {

void LedDots::setPitch(int pitch)
{
    pitch = std::max(pitch, kMinimumPitch);
    if (pitch == m_pitch)
        return;
    m_pitch = pitch;
    static constexpr QRgb kLit[] = {kUnlitColour, picture::kLedRed, picture::kLedGreen,
                                    picture::kLedYellow};
    for (std::size_t state = 0; state < m_dots.size(); ++state) {
        QImage dot(pitch, pitch, QImage::Format_RGB32);
        dot.fill(kPanelColour);
        QPainter painter(&dot);
        if (pitch <= 3) {
            // Too small for a round dot: a square, with a line of panel
            // between neighbours so that the LEDs stay apart.
            painter.fillRect(0, 0, pitch - 1, pitch - 1, QColor(kLit[state]));
        } else {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(kLit[state]));
            const qreal gap = pitch * 0.12;
            painter.drawEllipse(QRectF(gap, gap, pitch - 2 * gap, pitch - 2 * gap));
        }
        painter.end();
        std::vector<QRgb> &pixels = m_dots[state];
        pixels.resize(std::size_t(pitch) * std::size_t(pitch));
        for (int y = 0; y < pitch; ++y)
            std::memcpy(pixels.data() + y * pitch, dot.constScanLine(y),
                        std::size_t(pitch) * sizeof(QRgb));
    }
}

QImage LedDots::boardImage(const show::LedImage &leds) const
{
    return QImage(leds.width() * m_pitch, leds.height() * m_pitch, QImage::Format_RGB32);
}

void LedDots::drawRows(const show::LedImage &leds, int from, int to, QImage &image) const
{
    const std::size_t rowBytes = std::size_t(m_pitch) * sizeof(QRgb);
    for (int y = std::max(from, 0); y < std::min(to, leds.height()); ++y) {
        const std::uint8_t *states = leds.row(y);
        for (int line = 0; line < m_pitch; ++line) {
            auto *pixels = reinterpret_cast<QRgb *>(image.scanLine(y * m_pitch + line));
            for (int x = 0; x < leds.width(); ++x)
                std::memcpy(pixels + x * m_pitch,
                            m_dots[states[x] & show::Yellow].data() + line * m_pitch, rowBytes);
        }
    }
}

} // namespace pravik::show_window

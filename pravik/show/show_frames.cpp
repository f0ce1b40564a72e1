#include "show_frames.h"

#include "pravik/picture/led_view.h"

#include <cstring>

namespace pravik::show {
namespace {

// The pixels of one LED drawn as `shape`, for each LED state, line by line.
std::vector<uchar> ledPixels(int scale, LedShape shape)
{
    std::vector<uchar> pixels(std::size_t(4 * scale * scale));
    const double radius = 0.38 * scale;
    for (int state = 0; state < 4; ++state) {
        for (int y = 0; y < scale; ++y) {
            for (int x = 0; x < scale; ++x) {
                const double dx = x + 0.5 - scale / 2.0;
                const double dy = y + 0.5 - scale / 2.0;
                uchar index = uchar(state);
                if (shape == LedShape::Dots)
                    index = dx * dx + dy * dy > radius * radius ? 0
                            : state == Off                      ? uchar(kUnlitDot)
                                                                : uchar(state);
                pixels[std::size_t((state * scale + y) * scale + x)] = index;
            }
        }
    }
    return pixels;
}

} // namespace

QList<QRgb> previewPalette()
{
    return {picture::kLedOff, picture::kLedRed, picture::kLedGreen, picture::kLedYellow,
            0xFF333333};
}

PreviewPainter::PreviewPainter(int scale, LedShape shape)
    : m_scale(scale), m_pixels(ledPixels(scale, shape))
{
}

void PreviewPainter::draw(const LedImage &leds, QImage &picture) const
{
    const QSize size(leds.width() * m_scale, leds.height() * m_scale);
    if (picture.size() != size || picture.format() != QImage::Format_Indexed8) {
        picture = QImage(size, QImage::Format_Indexed8);
        picture.setColorTable(previewPalette());
    }
    if (picture.isNull())
        return;
    for (int y = 0; y < leds.height(); ++y) {
        const std::uint8_t *states = leds.row(y);
        for (int line = 0; line < m_scale; ++line) {
            uchar *out = picture.scanLine(y * m_scale + line);
            for (int x = 0; x < leds.width(); ++x)
                std::memcpy(out + x * m_scale,
                            m_pixels.data() + ((states[x] & Yellow) * m_scale + line) * m_scale,
                            std::size_t(m_scale));
        }
    }
}

} // namespace pravik::show

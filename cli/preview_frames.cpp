#include "preview_frames.h"

#include "pravik/picture/led_view.h"
#include "pravik/show/show_timing.h"

#include <cstring>

namespace pravik::cli {
namespace {

using namespace pravik::show;

// Every part of a show lasts a whole number of effect step units, so the
// frame can change only on such a unit.
static_assert(kStaySecondMs % kStepUnitMs == 0 && kBlinkHalfPeriodMs % kStepUnitMs == 0);

// The order of the moments of one pass: it falls where the list starts again.
int passOrder(const ShowMoment &moment)
{
    return moment.screen * 3 + int(moment.phase);
}

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

bool playOnePass(const Show &show, const FrameSink &frameDone)
{
    LedImage shown;
    LedImage next;
    ShowMoment moment = show.frameAt(0, shown);
    std::int64_t shownSince = 0;
    std::int64_t ms = kStepUnitMs;
    for (; ms < show.loopMs(); ms += kStepUnitMs) {
        const ShowMoment at = show.frameAt(ms, next);
        if (passOrder(at) < passOrder(moment))
            break;
        moment = at;
        if (next == shown)
            continue;
        if (!frameDone(shown, ms - shownSince))
            return false;
        std::swap(shown, next);
        shownSince = ms;
    }
    return frameDone(shown, ms - shownSince);
}

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

} // namespace pravik::cli

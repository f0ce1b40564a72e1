#include "led_image.h"

#include "pravik/picture/board_canvas.h"
#include "pravik/picture/led_view.h"
#include "pravik/picture/plane_packing.h"

#include <algorithm>

namespace pravik::show {

LedImage::LedImage(int width, int height)
{
    resize(width, height);
}

void LedImage::resize(int width, int height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_leds.assign(std::size_t(m_width) * std::size_t(m_height), Off);
}

void LedImage::fill(LedState state)
{
    std::fill(m_leds.begin(), m_leds.end(), state);
}

namespace {

// Spreads one packed byte of a plane over up to eight LEDs, the first LED in
// bit 7.
void unpackByte(std::uint8_t bits, std::uint8_t lit, std::uint8_t *leds, int count)
{
    for (int k = 0; k < count; ++k)
        if (bits & (0x80 >> k))
            leds[k] |= lit;
}

} // namespace

LedImage ledImage(const picture::BoardCanvas &canvas, int screenType)
{
    LedImage leds(canvas.width(), canvas.height());
    if ((screenType != 1 && screenType != 2) || leds.isEmpty())
        return leds;
    // A row is packed into whole bytes even when the width is no multiple of 8.
    const long long rowBytes = (canvas.width() + 7) / 8;
    const long long pictureBytes = rowBytes * canvas.height();
    const long long bandBytes = rowBytes * picture::kBandRows;
    // The blocks come in picture order; a padded block ends its band, whose
    // end is a whole number of band rows, or the picture.
    long long offset = 0;
    picture::packPlanes(canvas, screenType, [&](const picture::BlockStep &step) {
        long long end = offset + picture::kBlockBytes;
        if (step.position == picture::BlockPosition::EndOfBand)
            end = (offset / bandBytes + 1) * bandBytes;
        end = std::min(end, pictureBytes);
        for (long long at = offset; at < end; ++at) {
            const int column = int(at % rowBytes) * 8;
            const int count = std::min(8, leds.width() - column);
            std::uint8_t *led = leds.row(int(at / rowBytes)) + column;
            const std::size_t i = std::size_t(at - offset);
            if (step.planeCount == 2) {
                unpackByte(step.bytes[0][i], Green, led, count);
                unpackByte(step.bytes[1][i], Red, led, count);
            } else {
                unpackByte(step.bytes[0][i], Red, led, count);
            }
        }
        offset = end;
        return true;
    });
    return leds;
}

QImage ledPicture(const LedImage &leds)
{
    static constexpr QRgb kColours[] = {picture::kLedOff, picture::kLedRed, picture::kLedGreen,
                                        picture::kLedYellow};
    QImage picture(leds.width(), leds.height(), QImage::Format_RGB32);
    for (int y = 0; y < leds.height(); ++y) {
        const std::uint8_t *states = leds.row(y);
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < leds.width(); ++x)
            line[x] = kColours[states[x] & Yellow];
    }
    return picture;
}

} // namespace pravik::show

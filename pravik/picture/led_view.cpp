#include "led_view.h"

#include "board_canvas.h"
#include "plane_packing.h"

namespace pravik::picture {

QImage ledView(const BoardCanvas &canvas, int screenType)
{
    QImage view(canvas.width(), canvas.height(), QImage::Format_RGB32);
    for (int y = 0; y < canvas.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(view.scanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb pixel = canvas.pixel(x, y);
            if (screenType == 2) {
                const bool red = litRed(pixel);
                const bool green = litGreen(pixel);
                line[x] = red && green ? kLedYellow : red ? kLedRed : green ? kLedGreen : kLedOff;
            } else {
                line[x] = litOnSingleColour(pixel) ? kLedRed : kLedOff;
            }
        }
    }
    return view;
}

} // namespace pravik::picture

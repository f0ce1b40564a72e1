#include "board_picture.h"

#include "pravik/picture/led_view.h"
#include "pravik/picture/plane_packing.h"
#include "pravik/picture/text_rendering.h"

#include "common/rtf/rtf_reader.h"
#include "common/rtf/rtf_writer.h"

#include <QTextDocument>

namespace slatepad {

using namespace pravik::picture;

QImage boardPicture(const QTextDocument &document, QSize board, bool plainText)
{
    QTextDocument saved;
    if (plainText) {
        saved.setDefaultFont(boardFont(plainTextPixelSize(board.height())));
        setDefaultTabStops(saved);
        saved.setPlainText(document.toPlainText());
    } else {
        // The writer's own output always reads back.
        (void)common::readRtf(common::writeRtf(document), saved);
    }
    prepareForBoard(saved);
    const QImage drawn = renderOnBoard(saved, board.width(), board.height());

    QImage leds(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(drawn.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(leds.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            const bool red = litRed(in[x]);
            const bool green = litGreen(in[x]);
            out[x] = red && green ? kLedYellow : red ? kLedRed : green ? kLedGreen : kLedOff;
        }
    }
    return leds;
}

} // namespace slatepad

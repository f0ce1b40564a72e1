#include "show_clock.h"

#include "pravik/picture/board_canvas.h"
#include "pravik/picture/text_rendering.h"

#include <QTextDocument>

namespace pravik::show {

LedImage clockLeds(QTime time, int width, int height, int screenType)
{
    if (width <= 0 || height <= 0)
        return LedImage();
    // Drawn like a .txt screen holding the time, so that it lights the same
    // LEDs as such a screen would.
    QTextDocument document;
    document.setDefaultFont(picture::boardFont(picture::plainTextPixelSize(height)));
    document.setPlainText(time.toString(QStringLiteral("HH:mm:ss")));
    picture::prepareForBoard(document);
    picture::BoardCanvas canvas(width, height, std::max(width, 8));
    canvas.drawPicture(picture::renderOnBoard(document, width, height));
    return ledImage(canvas, screenType);
}

} // namespace pravik::show

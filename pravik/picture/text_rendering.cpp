#include "text_rendering.h"

#include "glyph_overhang.h"

#include "common/rtf/rtf_sizes.h"
#include "common/text_codec.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace pravik::picture {

QFont boardFont(int pixelSize)
{
    QFont font(kBoardFontFamily);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

int plainTextPixelSize(int boardHeight)
{
    return std::clamp(boardHeight, 12, 16);
}

QString decodeTextFile(const QByteArray &bytes)
{
    return common::decodePlainText(bytes);
}

void setDefaultTabStops(QTextDocument &document)
{
    QTextOption option = document.defaultTextOption();
    option.setTabStopDistance(common::rtf::twipsToPixels(common::rtf::kDefaultTabTwips));
    document.setDefaultTextOption(option);
}

void prepareForBoard(QTextDocument &document)
{
    const QStringList installed = QFontDatabase::families();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format;
            format.setFontStyleStrategy(QFont::NoAntialias);
            const QStringList families = fragment.charFormat().fontFamilies().toStringList();
            const bool known = std::any_of(families.begin(), families.end(),
                                           [&](const QString &f) { return installed.contains(f); });
            if (!known)
                format.setFontFamilies({kBoardFontFamily});
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
    }
    QFont defaultFont = document.defaultFont();
    defaultFont.setStyleStrategy(QFont::NoAntialias);
    document.setDefaultFont(defaultFont);
}

QImage renderOnBoard(QTextDocument &document, int width, int height)
{
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    document.setDocumentMargin(0);
    document.setTextWidth(width);
    const GlyphOverhang overhang(document, height);
    const int shift = overhang.riseAboveTop();
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(0, shift);
    overhang.paintBackgrounds(painter);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, kDefaultTextColour);
    context.clip = QRectF(0, -shift, width, height);
    document.documentLayout()->draw(&painter, context);
    return canvas;
}

} // namespace pravik::picture

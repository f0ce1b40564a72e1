#include "glyph_overhang.h"

#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace pravik::picture {
namespace {

// The top of the line's highest glyph, in its layout's coordinates; the glyph
// outlines' boxes are those of the bitmaps the board font draws.
qreal glyphTop(const QTextLine &line)
{
    qreal top = line.y();
    for (const QGlyphRun &run : line.glyphRuns()) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
            top = std::min(top, positions[i].y() + font.boundingRect(glyphs[i]).top());
    }
    return top;
}

} // namespace

GlyphOverhang::GlyphOverhang(const QTextDocument &document, int height)
{
    document.documentLayout()->documentSize(); // lays the document out
    qreal highest = 0;
    for (QTextBlock block = document.begin();
         block.isValid() && block.layout()->position().y() < height; block = block.next()) {
        const QTextLayout *layout = block.layout();
        const QPointF origin = layout->position();
        for (int i = 0; i < layout->lineCount() && origin.y() + layout->lineAt(i).y() < height;
             ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal rise = line.y() - glyphTop(line);
            if (rise <= 0)
                continue;
            const qreal top = origin.y() + line.y() - rise;
            highest = std::min(highest, top);
            const int lineStart = block.position() + line.textStart();
            const int lineEnd = lineStart + line.textLength();
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QBrush brush = fragment.charFormat().background();
                const int start = std::max(fragment.position(), lineStart);
                const int end = std::min(fragment.position() + fragment.length(), lineEnd);
                if (brush.style() == Qt::NoBrush || start >= end)
                    continue;
                const qreal x1 = line.cursorToX(start - block.position());
                const qreal x2 = line.cursorToX(end - block.position());
                m_shades.push_back(
                    {QRectF(origin.x() + std::min(x1, x2), top, std::abs(x2 - x1), rise), brush});
            }
        }
    }
    m_riseAboveTop = static_cast<int>(std::ceil(-highest));
}

void GlyphOverhang::paintBackgrounds(QPainter &painter) const
{
    for (const Shade &shade : m_shades)
        painter.fillRect(shade.area, shade.brush);
}

} // namespace pravik::picture

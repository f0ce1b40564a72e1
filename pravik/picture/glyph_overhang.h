#pragma once

#include <QBrush>
#include <QRectF>

#include <vector>

class QPainter;
class QTextDocument;

namespace pravik::picture {

// The board font's bitmaps rise higher than the ascent the font reports, and
// the text box places each line, and shades its background, by that ascent:
// the tops of the first line's glyphs fall above the board, and the tops of
// inverse text stick out of their lit background. This is where the glyphs of
// a laid-out document rise above their lines, for the lines that start on a
// board of `height` rows.
class GlyphOverhang
{
public:
    GlyphOverhang(const QTextDocument &document, int height);

    // How many rows above the document's top its highest glyph reaches: how
    // far the text must move down for every glyph to be whole. 0 when none.
    int riseAboveTop() const { return m_riseAboveTop; }

    // Shades, above every line, the rows its glyphs rise into with the
    // background of the text there. Drawn before the document, so that the
    // glyphs and the lines above stay on top of it.
    void paintBackgrounds(QPainter &painter) const;

private:
    struct Shade
    {
        QRectF area;
        QBrush brush;
    };
    std::vector<Shade> m_shades;
    int m_riseAboveTop = 0;
};

} // namespace pravik::picture

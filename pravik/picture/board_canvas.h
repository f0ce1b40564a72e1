#pragma once

#include <QImage>

namespace common {
class Prompter;
}

namespace pravik::picture {

// The board-sized canvas every screen is drawn on before it is packed into
// the board's planes. It is kept as two strips no wider than the strip width
// chosen from the desktop: canvas column x < S is strip 1's column x, column
// x >= S is strip 2's column x - S. Outside what a source draws, the canvas is
// black.
class BoardCanvas
{
public:
    BoardCanvas() = default;
    BoardCanvas(int width, int height, int stripWidth) { resize(width, height, stripWidth); }

    void resize(int width, int height, int stripWidth);
    void clear();

    // Draws a picture with its top-left corner at canvas (0, 0), at its own
    // size, into both strips: a text rendered at the board's size thus fills
    // every column, the second strip's too.
    void drawPicture(const QImage &picture);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int stripWidth() const { return m_stripWidth; }
    bool usesTwoStrips() const { return m_width > m_stripWidth; }
    const QImage &strip1() const { return m_strip1; }
    const QImage &strip2() const { return m_strip2; }

    // The colour of canvas pixel (x, y), through the column mapping.
    QRgb pixel(int x, int y) const;
    // The whole canvas as one image, for previews.
    QImage composed() const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_stripWidth = 0;
    QImage m_strip1;
    QImage m_strip2;
};

// What layoutCanvas needs to know of the desktop.
struct DesktopHeight
{
    int pixels = 0;
    double twipsPerPixel = 15;
};

inline const QString kDesktopTooNarrowText =
    QStringLiteral("屏幕宽度不足，你需要将屏幕分辨率设定到更高的模式");
inline const QString kDesktopTooLowText =
    QStringLiteral("屏幕高度不足，你需要将屏幕分辨率设定到更高的模式");

// Sizes the canvas for a board of width x height and warns when the desktop
// is too small to show its preview: narrower than two strips, or, with two
// strips, lower than their frame plus the window's own rows.
void layoutCanvas(BoardCanvas &canvas, int width, int height, int stripWidth,
                  const DesktopHeight &desktop, common::Prompter &prompter);

} // namespace pravik::picture

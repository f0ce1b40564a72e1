#pragma once

#include "pravik/picture/board_canvas.h"

#include <QImage>
#include <QPainter>

// A canvas painted by a function of the pixel position.
template <typename ColourAt>
pravik::picture::BoardCanvas canvasOf(int width, int height, int stripWidth, ColourAt colourAt)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, colourAt(x, y));
    pravik::picture::BoardCanvas canvas(width, height, stripWidth);
    canvas.drawPicture(picture);
    return canvas;
}

inline constexpr QRgb kBlack = 0xFF000000;
inline constexpr QRgb kRed = 0xFFFF0000;
inline constexpr QRgb kGreen = 0xFF00FF00;
inline constexpr QRgb kYellow = 0xFFFFFF00;
inline constexpr QRgb kBlue = 0xFF0000FF;

#pragma once

#include <QImage>
#include <QString>

namespace LedBoardSim {

// "screen-007.png" for screen index 7.
QString screenFileName(int screen);

// Writes the picture of one screen into directory; returns the file path, or
// an empty string with *error set.
QString writeScreenPng(const QImage &image, const QString &directory, int screen, QString *error);

} // namespace LedBoardSim

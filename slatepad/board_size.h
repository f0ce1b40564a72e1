#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace slatepad {

// A board without numbers on the command line: the size Pravik starts with.
inline constexpr int kDefaultWidth = 160;
inline constexpr int kDefaultHeight = 32;
// Larger than any board; a bigger number is a mistake, not a board.
inline constexpr int kMaxSide = 4096;

struct StartRequest
{
    QSize board{kDefaultWidth, kDefaultHeight};
    QString file; // a text to open at once, or empty
};

// Reads "slatepad [width height] [file]" (the program name not included).
// Pravik passes the numbers in the sign-position form (" 64"), with their
// leading blank; both that and "64" are read, leniently, by their leading
// number. A number missing or outside 1..4096 leaves the default for its side.
StartRequest parseStartArguments(const QStringList &arguments);

} // namespace slatepad

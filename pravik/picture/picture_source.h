#pragma once

#include <QString>

namespace pravik::picture {

class BoardCanvas;

// How drawing a screen's source went.
struct SourceResult
{
    enum class Status {
        Drawn,
        Missing,    // no such file
        Unreadable, // the file is there but is no picture or text this program reads
    };
    Status status = Status::Drawn;
    QString reason; // for Unreadable: why
};

// Whether `path` names a picture file that is there. A folder of that name is
// no picture, nor is a device or a pipe, which could hold a job up reading
// it: every job tells them all as missing files.
bool isExistingPictureFile(const QString &path);

// Draws a screen's source onto the canvas, which is black outside it: a
// picture at its own size from the top-left corner, a .txt file in yellow, a
// .rtf file in its own fonts and colours, both laid out at the board's width.
SourceResult loadSource(const QString &path, BoardCanvas &canvas);

// Where a screen's picture path points: a relative path is taken from the
// display file's folder.
QString resolveSourcePath(const QString &picture, const QString &displayFilePath);

} // namespace pravik::picture

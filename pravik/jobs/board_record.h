#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>

namespace pravik::jobs {

// What the board has acknowledged of one screen: a digest of its picture
// packets and one of its properties frame. Empty when the board may hold
// anything there.
struct ScreenDigests
{
    QByteArray picture;
    QByteArray properties;

    friend bool operator==(const ScreenDigests &, const ScreenDigests &) = default;
};

// What this computer knows a board holds: everything in it was echoed by the
// board. The screens are kept by their index on the board.
struct BoardRecord
{
    QString board; // the link and bus address it describes
    int width = 0;
    int height = 0;
    int type = 0;
    // The range of the last display command the board acknowledged: `displayed`
    // screens from `displayedFrom`; a count of 0 when not known.
    int displayedFrom = 0;
    int displayed = 0;
    // Written before a transfer's first frame and cleared at its end: still set
    // when the program ended in the middle, so no screen in it can be trusted.
    bool transferUnderWay = false;
    std::map<int, ScreenDigests> screens;

    friend bool operator==(const BoardRecord &, const BoardRecord &) = default;
};

// The record as a small JSON file of its own versioned format.
QByteArray recordToJson(const BoardRecord &record);

// The record in `bytes`, or why they are no record of this format and version.
common::Expected<BoardRecord> recordFromJson(const QByteArray &bytes);

} // namespace pravik::jobs

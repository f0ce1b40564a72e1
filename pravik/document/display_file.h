#pragma once

#include "board_settings.h"
#include "screen_list.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace common {
class Prompter;
}

namespace pravik::document {

// How a load ended. Every outcome but Loaded has shown its message.
enum class LoadResult {
    Loaded,
    NotDisplayFile, // "错误的显示文件": no [comm] or [Pics] where they belong, or a bad settings line
    RecordCut,      // "显示文件错误": the file ends inside a record
    TooLong,        // "显示文件超长": more than 239 records
    Unreadable,     // the file could not be opened or read
};

struct LoadHooks
{
    // Runs once the settings part is read, before the records: the canvas
    // follows the board's new geometry even when the records turn out bad.
    std::function<void()> settingsRead;
    // Runs when the file ends inside a record, after its message.
    std::function<void()> recordCut;
};

// The bytes of a display file for these settings and screens: [comm] with its
// nine lines, [Pics] with one nine-line record per screen, CR LF line ends,
// in code page 936. A character outside the code page, which the save
// refuses, is written as "?".
QByteArray displayFileBytes(const BoardSettings &settings, const ScreenList &screens);

// Why the list cannot be written as it stands, or an empty text when it can:
// a field holding a double quote or a line break would not read back, and a
// character outside code page 936 would come back as another one.
QString unsavableField(const ScreenList &screens);

// Writes the display file. The old file is replaced only once the new one is
// completely on disk; any failure is shown and the old file stays as it was.
bool saveDisplayFile(const QString &path, const BoardSettings &settings,
                     const ScreenList &screens, common::Prompter &prompter);

// Reads a display file into the settings and the screen list. The list is
// re-initialised first; the settings change only as far as the file was read.
LoadResult loadDisplayFile(const QString &path, BoardSettings &settings, ScreenList &screens,
                           common::Prompter &prompter, const LoadHooks &hooks = {});

// The same, from the file's bytes.
LoadResult loadDisplayFileBytes(const QByteArray &bytes, BoardSettings &settings,
                                ScreenList &screens, common::Prompter &prompter,
                                const LoadHooks &hooks = {});

} // namespace pravik::document

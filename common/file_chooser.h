#pragma once

#include <QString>

namespace common {

struct FileDialogRequest
{
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title;
    QString filter; // in the toolkit's form, e.g. "显示文件(*.lt)"
    QString defaultSuffix;
    QString folder; // where the dialog starts; made when it does not exist yet
    bool mustExist = false; // Open: only an existing file can be chosen
};

// The file dialogs, behind a seam so that the commands can be driven without
// a window.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The chosen file's full path, or an empty text when the dialog was cancelled.
    virtual QString choose(const FileDialogRequest &request) = 0;
};

} // namespace common

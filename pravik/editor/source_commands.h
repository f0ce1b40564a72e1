#pragma once

#include "common/failure.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace common {
class FileChooser;
class Prompter;
} // namespace common

namespace pravik::document {
struct BoardSettings;
}

namespace pravik::editor {

class GridEditor;

// Starts a program without waiting for it; the failure carries the system's
// reason when it could not be started.
using ProcessStarter =
    std::function<common::Status(const QString &program, const QStringList &arguments)>;

// The real starter: a detached process in its own window.
common::Status startDetachedProcess(const QString &program, const QStringList &arguments);

// Texts of the failures to start the rich-text editor; the path follows.
inline const QString kSlatepadMissingText = QStringLiteral("找不到RTF文件编辑器：");
inline const QString kSlatepadFailedText = QStringLiteral("无法启动RTF文件编辑器：");

// Picking a screen's picture file and the picture-menu commands. The board
// settings and the folders are read when a command runs, so they may be
// filled after construction. Slatepad is found beside the program; the file
// dialogs start in the operator's document folder.
class SourceCommands : public QObject
{
    Q_OBJECT
public:
    SourceCommands(GridEditor &gridEditor, const document::BoardSettings &settings,
                   const QString &programFolder, const QString &documentFolder,
                   common::Prompter &prompter, common::FileChooser &chooser,
                   ProcessStarter starter = startDetachedProcess, QObject *parent = nullptr);

public slots:
    // txtedit_DblClick (connected to the grid editor by the constructor): on
    // the picture column, a file dialog whose choice goes into the editor and
    // the cell.
    void pickPictureFile();
    // mnufiledit "编辑RTF文件(&E)": starts the rich-text editor for the board's size.
    void editRtfFile();
    // mnupicEdt "编辑(&E)": only shows its file dialog.
    void editPicture();
    // mnupicnew "新建(&N)": does nothing.
    void newPicture();

private:
    GridEditor &m_gridEditor;
    const document::BoardSettings &m_settings;
    const QString &m_programFolder;
    const QString &m_documentFolder;
    common::Prompter &m_prompter;
    common::FileChooser &m_chooser;
    ProcessStarter m_starter;
};

} // namespace pravik::editor

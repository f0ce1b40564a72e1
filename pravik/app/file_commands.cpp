#include "file_commands.h"

#include "app_state.h"

#include "pravik/document/display_file.h"
#include "pravik/editor/cell_commit.h"

#include "common/file_chooser.h"
#include "common/prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pravik::app {
namespace {

const QString kNewFileName = QStringLiteral("Noname.lt");

common::FileDialogRequest displayFileDialog(common::FileDialogRequest::Kind kind,
                                            const QString &title, const QString &folder)
{
    common::FileDialogRequest request;
    request.kind = kind;
    request.title = title;
    request.filter = QStringLiteral("显示文件(*.lt)");
    request.defaultSuffix = QStringLiteral("lt");
    request.folder = folder;
    return request;
}

} // namespace

QString userDocumentFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("Pravik"));
}

void FileCommands::newFile()
{
    m_state.currentFileName = kNewFileName;
    m_view.showBoardSettings();
    m_view.showScreenList();
    document::initScreenList(m_state.screens);
    m_view.screenListChanged();
    m_view.showFileName(m_state.currentFileName);
}

void FileCommands::openFile()
{
    const QString chosen =
        m_chooser.choose(displayFileDialog(common::FileDialogRequest::Kind::Open,
                                           QStringLiteral("打开显示文件"), m_state.documentFolder));

    if (!chosen.isEmpty()) {
        m_state.currentFileName = chosen;
        followFile(chosen);
        if (!QFileInfo::exists(chosen)) {
            newFile();
            return;
        }
        document::LoadHooks hooks;
        hooks.settingsRead = [this] { m_view.boardGeometryChanged(); };
        hooks.recordCut = [this] { m_view.bringToFront(); };
        document::loadDisplayFile(chosen, m_state.settings, m_state.screens, m_prompter, hooks);
        m_view.screenListChanged();
        // The link follows the file's settings even when the load stopped early.
        m_view.openLink();
    } else if (m_state.currentFileName.isEmpty()) {
        newFile();
    }
    m_view.showScreenList();
    m_view.showFileName(m_state.currentFileName);
}

void FileCommands::save()
{
    if (const auto editor = m_view.takeOpenCellEditor()) {
        m_state.screens.setText(editor->row, editor->column,
                                editor::commitTextForSave(editor->column, editor->text));
        m_view.screenListChanged();
    }
    if (m_state.currentFileName.isEmpty()) {
        saveAs();
        return;
    }
    const common::Message question{QStringLiteral("保存当前的显示文件") + m_state.currentFileName,
                                   QString(), common::MessageIcon::None,
                                   common::MessageButtons::OkCancel};
    if (m_prompter.show(question) != common::MessageAnswer::Cancel)
        writeCurrentFile();
}

void FileCommands::saveAs()
{
    const QString chosen =
        m_chooser.choose(displayFileDialog(common::FileDialogRequest::Kind::Save,
                                           QStringLiteral("另存显示文件"), m_state.documentFolder));
    if (chosen.isEmpty())
        return;
    m_state.currentFileName = chosen;
    followFile(chosen);
    // Save writes this name from now on, so the window names it too.
    m_view.showFileName(m_state.currentFileName);
    writeCurrentFile();
}

void FileCommands::followFile(const QString &displayFile)
{
    m_state.documentFolder = QFileInfo(displayFile).absolutePath();
}

bool FileCommands::writeCurrentFile()
{
    // A name without a folder ("Noname.lt" after New) lives where the file
    // dialogs start, which is made when first needed.
    QDir().mkpath(m_state.documentFolder);
    const QString path = QDir(m_state.documentFolder).filePath(m_state.currentFileName);
    return document::saveDisplayFile(path, m_state.settings, m_state.screens, m_prompter);
}

} // namespace pravik::app

#include "source_commands.h"

#include "grid_editor.h"
#include "slatepad_command.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"

#include "common/file_chooser.h"
#include "common/prompter.h"

#include <QFileInfo>
#include <QProcess>

namespace pravik::editor {

common::Status startDetachedProcess(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (process.startDetached())
        return {};
    return common::Failure{
        common::kFailedCode, {}, process.errorString(), common::MessageIcon::Error};
}

SourceCommands::SourceCommands(GridEditor &gridEditor, const document::BoardSettings &settings,
                               const QString &programFolder, const QString &documentFolder,
                               common::Prompter &prompter, common::FileChooser &chooser,
                               ProcessStarter starter, QObject *parent)
    : QObject(parent), m_gridEditor(gridEditor), m_settings(settings),
      m_programFolder(programFolder), m_documentFolder(documentFolder), m_prompter(prompter),
      m_chooser(chooser), m_starter(std::move(starter))
{
    connect(&m_gridEditor, &GridEditor::textEditorDoubleClicked, this,
            &SourceCommands::pickPictureFile);
}

void SourceCommands::pickPictureFile()
{
    if (m_gridEditor.currentColumn() != document::PictureColumn)
        return;
    common::FileDialogRequest request;
    request.kind = common::FileDialogRequest::Kind::Open;
    request.title = QStringLiteral("调入图形文件");
    // Bitmaps, text and rich-text files, other pictures, all files; the
    // toolkit reads each choice's patterns from its parentheses.
    request.filter = QStringLiteral(
        "位图文件(*.BMP);;文本文件(*.TXT *.RTF);;其他图片文件(*.pcx *.gif);;所有文件(*)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.folder = m_documentFolder;
    // A name that does not exist yet may be typed, as for a display file.
    request.mustExist = false;
    const QString chosen = m_chooser.choose(request);
    if (!chosen.isEmpty())
        m_gridEditor.putIntoTextEditor(chosen);
}

void SourceCommands::editRtfFile()
{
    const QString program = slatepadProgram(m_programFolder);
    // Pravik goes on whatever happens to the editor; the operator learns where
    // it was looked for.
    if (!QFileInfo(program).isFile()) {
        m_prompter.tell(kSlatepadMissingText + program, kProgramTitle, common::MessageIcon::Error);
        return;
    }
    if (const common::Status failed =
            m_starter(program, slatepadArguments(m_settings.scrwidth, m_settings.scrhigh))) {
        QString text = kSlatepadFailedText + program;
        if (!failed->text.isEmpty())
            text += QLatin1Char('\n') + failed->text;
        m_prompter.tell(text, kProgramTitle, common::MessageIcon::Error);
    }
}

void SourceCommands::editPicture()
{
    common::FileDialogRequest request;
    request.kind = common::FileDialogRequest::Kind::Open;
    request.title = QStringLiteral("编辑图形文件");
    request.filter = QStringLiteral("(*.pcx *.bmp *.tga *.dib)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.folder = m_documentFolder;
    request.mustExist = true;
    // The chosen picture is not opened anywhere yet.
    m_chooser.choose(request);
}

void SourceCommands::newPicture() {}

} // namespace pravik::editor

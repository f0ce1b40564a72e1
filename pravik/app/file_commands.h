#pragma once

#include <QString>
#include <optional>

namespace common {
class FileChooser;
class Prompter;
} // namespace common

namespace pravik::app {

struct AppState;

// An open cell editor, as the window hands it over to be committed.
struct OpenCellEditor
{
    int row = 0;
    int column = 0;
    QString text;
};

// What the file commands need from the main window.
class FileCommandsView
{
public:
    virtual ~FileCommandsView() = default;
    virtual void showScreenList() = 0;
    virtual void screenListChanged() = 0;
    virtual void showFileName(const QString &fileName) = 0;
    virtual void showBoardSettings() = 0;
    // Hides the cell editor and hands over what it held, if it was open.
    virtual std::optional<OpenCellEditor> takeOpenCellEditor() = 0;
    // A display file's settings were read: the canvas follows the new geometry.
    virtual void boardGeometryChanged() = 0;
    // Open has read a display file: the link is set up from its settings.
    virtual void openLink() = 0;
    virtual void bringToFront() = 0;
};

// The folder for the operator's display files until one is opened or saved
// as: "Pravik" in the user's documents. The program's own folder is no place
// for them: installed, it is a system folder that the operator cannot write.
QString userDocumentFolder();

// New, Open, Save and Save As of the display file.
class FileCommands
{
public:
    FileCommands(AppState &state, common::Prompter &prompter, common::FileChooser &chooser,
                 FileCommandsView &view)
        : m_state(state), m_prompter(prompter), m_chooser(chooser), m_view(view)
    {
    }

    void newFile();
    void openFile();
    void save();
    void saveAs();

private:
    bool writeCurrentFile();
    // After Open and Save As the dialogs start in the file's own folder.
    void followFile(const QString &displayFile);

    AppState &m_state;
    common::Prompter &m_prompter;
    common::FileChooser &m_chooser;
    FileCommandsView &m_view;
};

} // namespace pravik::app

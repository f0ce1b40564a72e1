#pragma once

#include "closing_prompter.h"
#include "file_commands.h"
#include "link_worker.h"
#include "thread_prompter.h"

#include "pravik/jobs/job_runner.h"
#include "pravik/jobs/stop_token.h"
#include "pravik/link/direct_commands.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QLineEdit;
class QTableView;

namespace common {
class FileChooser;
class Prompter;
} // namespace common

namespace pravik::editor {
class GridEditor;
class ScreenListModel;
class SourceCommands;
} // namespace pravik::editor

namespace pravik::settings {
class BoardSettingsDialog;
class SerialPortLister;
} // namespace pravik::settings

namespace pravik::picture {
class BoardCanvas;
}

namespace pravik::show_window {
class ShowFeed;
class ShowWindow;
} // namespace pravik::show_window

namespace pravik::app {

struct AppState;

// What the main window takes from the computer it runs on, so that tests can
// start it on any desktop they like.
struct MainWindowEnvironment
{
    int desktopWidthPixels = 0;
    int desktopHeightPixels = 0;
    double twipsPerPixel = 15;
    QString localIpAddress;
    QString programFolder;
    QString documentFolder;
    common::Prompter *prompter = nullptr;
    common::FileChooser *fileChooser = nullptr;
};

// The main window "scredit": menus, toolbar, the screen-list grid and the
// status bar. It only wires the operator's actions to the commands; whatever
// talks to the board runs on the link's own thread.
class MainWindow : public QMainWindow, private FileCommandsView
{
    Q_OBJECT
public:
    MainWindow(AppState &state, const MainWindowEnvironment &environment,
               QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setUp(const MainWindowEnvironment &environment);
    void runSetUpStep(const std::function<void()> &step);
    void buildMenus();
    void buildToolbar();
    void buildCentralArea();
    void buildStatusBar();
    void fillDropDownLists();
    void showSystemInfo();
    void buildEditors(const MainWindowEnvironment &environment);
    void buildTransferMode();
    void sendClock();
    void buildShowFeed();
    void openShowWindow();

    // The transmission jobs, the commands sent straight to the board, and
    // the compare file.
    jobs::JobReport runJob(const jobs::Job &job, bool onlyChanges = false);
    void runSendAll();
    void runSendChanged();
    void runSendSpecifiedPicture();
    void runSendProperties();
    void runCommand(const std::function<link::CommandResult(link::BoardLink &)> &command);
    void stopTransfer();
    // Everything that talks to the board: no command may start meanwhile.
    void beginTransfer();
    void endTransfer();
    void chooseCompareFile();
    void clearCompareFile();
    QString displayFilePath() const;

    // FileCommandsView
    void showScreenList() override;
    void screenListChanged() override;
    void showFileName(const QString &fileName) override;
    void showBoardSettings() override;
    std::optional<OpenCellEditor> takeOpenCellEditor() override;
    void boardGeometryChanged() override;
    void openLink() override;
    void bringToFront() override;

    void enterTransferMode();
    void pauseTransferMode();
    void resumeTransferMode();

    AppState &m_state;
    ClosingPrompter m_closingPrompter;
    common::Prompter &m_prompter;
    common::FileChooser &m_fileChooser;
    FileCommands m_fileCommands;

    editor::ScreenListModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QLineEdit *m_cellEditor = nullptr;
    QComboBox *m_entryEffectList = nullptr;
    QComboBox *m_exitEffectList = nullptr;
    QComboBox *m_stayModeList = nullptr;
    QComboBox *m_displayKindList = nullptr;
    QGroupBox *m_canvasFrame = nullptr;
    QLabel *m_strip1 = nullptr;
    QLabel *m_strip2 = nullptr;
    QProgressBar *m_progress = nullptr;
    QAction *m_clearCompareAction = nullptr;
    QPushButton *m_stopButton = nullptr;
    std::unique_ptr<class TransferMode> m_transferMode;
    jobs::StopToken m_stop;
    bool m_transferUnderWay = false;
    bool m_transferModePaused = false;
    std::unique_ptr<class TransferView> m_transferView;
    QLabel *m_contactPanel = nullptr;
    QLabel *m_fileNamePanel = nullptr;

    // The board-sized canvas screens are drawn on before they are sent.
    std::unique_ptr<picture::BoardCanvas> m_canvas;
    int m_desktopHeightPixels = 0;
    double m_twipsPerPixel = 15;

    // The serial port Comm1 and the UDP socket Winsock1, on their own thread,
    // and how what runs there asks the operator.
    LinkWorker m_link;
    ThreadPrompter m_linkPrompter;
    bool m_linkOpened = false;

    // Editing the screen list and its sources, and the board settings dialog.
    std::unique_ptr<editor::GridEditor> m_gridEditor;
    std::unique_ptr<editor::SourceCommands> m_sourceCommands;
    std::unique_ptr<settings::SerialPortLister> m_serialPorts;
    QPointer<settings::BoardSettingsDialog> m_settingsDialog;

    // "模拟显示" plays the grid and the settings as they are, edits included.
    std::unique_ptr<show_window::ShowFeed> m_showFeed;
    QPointer<show_window::ShowWindow> m_showWindow;
};

} // namespace pravik::app

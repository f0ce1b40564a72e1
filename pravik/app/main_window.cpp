#include "main_window.h"

#include "app_state.h"
#include "desktop_metrics.h"
#include "thread_job_view.h"
#include "transfer_mode.h"
#include "transfer_view.h"

#include "pravik/document/ip_octets.h"
#include "pravik/document/program_texts.h"
#include "pravik/editor/grid_editor.h"
#include "pravik/editor/screen_list_model.h"
#include "pravik/editor/source_commands.h"
#include "pravik/editor/system_info.h"
#include "pravik/jobs/job_messages.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/link/board_session.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/settings/board_settings_dialog.h"
#include "pravik/settings/serial_port_lister.h"
#include "pravik/show_window/show_feed.h"
#include "pravik/show_window/show_window.h"

#include "common/file_chooser.h"
#include "common/prompter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace pravik::app {

using namespace pravik::document;

MainWindow::MainWindow(AppState &state, const MainWindowEnvironment &environment, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_closingPrompter(*environment.prompter),
      m_prompter(m_closingPrompter), m_fileChooser(*environment.fileChooser),
      m_fileCommands(state, m_prompter, *environment.fileChooser, *this),
      m_canvas(std::make_unique<picture::BoardCanvas>()),
      m_desktopHeightPixels(environment.desktopHeightPixels),
      m_twipsPerPixel(environment.twipsPerPixel),
      m_linkPrompter(
          m_prompter, m_link.windowSide(), [this] { pauseTransferMode(); },
          [this] { resumeTransferMode(); })
{
    setObjectName(QStringLiteral("scredit"));
    setWindowTitle(QStringLiteral("Sunvane"));
    buildCentralArea();
    buildMenus();
    buildToolbar();
    buildStatusBar();
    buildEditors(environment);
    buildTransferMode();
    buildShowFeed();
    setUp(environment);
}

MainWindow::~MainWindow()
{
    // The show window plays from the feed this window owns.
    delete m_showWindow;
}

void MainWindow::runSetUpStep(const std::function<void()> &step)
{
    // A step that fails is announced and the window still comes up.
    try {
        step();
    } catch (const std::exception &) {
        m_prompter.tell(QStringLiteral("Welcome"), kProgramTitle, common::MessageIcon::None);
    }
}

void MainWindow::setUp(const MainWindowEnvironment &environment)
{
    runSetUpStep([this] {
        m_canvasFrame->hide();
        m_grid->hide();
    });
    runSetUpStep([this] { setWindowState(Qt::WindowNoState); });
    runSetUpStep([this] { screenListChanged(); });
    runSetUpStep([this] { fillVocabulary(m_state.vocabulary); });
    runSetUpStep([this] {
        // The lists float over the grid; the last one raised lies on top.
        for (QComboBox *list :
             {m_entryEffectList, m_exitEffectList, m_stayModeList, m_displayKindList})
            list->hide();
        for (QComboBox *list :
             {m_entryEffectList, m_stayModeList, m_exitEffectList, m_displayKindList})
            list->raise();
    });
    runSetUpStep([this] { m_cellEditor->hide(); });
    runSetUpStep([this] { m_contactPanel->setText(kContactText); });
    runSetUpStep([this, &environment] {
        m_state.stripWidth = stripWidthForDesktop(environment.desktopWidthPixels);
    });
    runSetUpStep([this, &environment] {
        // On the smallest desktops the window takes the whole screen; elsewhere
        // it opens wide enough for the whole toolbar.
        if (m_state.stripWidth == 616)
            setWindowState(Qt::WindowMaximized);
        else
            resize(std::min(environment.desktopWidthPixels - 40, 1000), 680);
    });
    runSetUpStep([this, &environment] {
        m_state.programFolder = environment.programFolder;
        m_state.documentFolder = environment.documentFolder;
    });
    runSetUpStep([this] { fillDropDownLists(); });
    runSetUpStep([this, &environment] {
        splitIpOctets(environment.localIpAddress, m_state.settings.ipOctets);
    });
    runSetUpStep([this] { m_state.settings.ipPort = 1973; });
    // Until New or Open the grid shows an empty list, and the canvas is the
    // start-up board's.
    initScreenList(m_state.screens);
    screenListChanged();
    m_canvas->resize(m_state.settings.scrwidth, m_state.settings.scrhigh, m_state.stripWidth);
    m_transferView->layoutFrame(m_state.settings.scrwidth, m_state.settings.scrhigh,
                                m_state.stripWidth);
}

void MainWindow::buildCentralArea()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    m_model = new editor::ScreenListModel(m_state.screens, this);
    m_grid = new QTableView(central);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    layout->addWidget(m_grid);

    m_canvasFrame = new QGroupBox(central);
    m_canvasFrame->setObjectName(QStringLiteral("scrFrame"));
    m_canvasFrame->setStyleSheet(
        QStringLiteral("QGroupBox { background: #202020; color: white; }"));
    m_strip1 = new QLabel(m_canvasFrame);
    m_strip1->setObjectName(QStringLiteral("Picbuf1"));
    m_strip2 = new QLabel(m_canvasFrame);
    m_strip2->setObjectName(QStringLiteral("Picbuf2"));
    for (QLabel *strip : {m_strip1, m_strip2})
        strip->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_cellEditor = new QLineEdit(QStringLiteral(" 0-255,1延时最短，0延时最长"), central);
    m_cellEditor->setObjectName(QStringLiteral("txtedit"));

    const auto makeList = [central](const char *name) {
        auto *list = new QComboBox(central);
        list->setObjectName(QString::fromLatin1(name));
        return list;
    };
    m_entryEffectList = makeList("Comin");
    m_exitEffectList = makeList("Comout");
    m_stayModeList = makeList("Comdisp");
    m_displayKindList = makeList("Comexp");

    setCentralWidget(central);
}

void MainWindow::buildTransferMode()
{
    m_stopButton = new QPushButton(QStringLiteral("停止发送"), statusBar());
    m_stopButton->setObjectName(QStringLiteral("cmdstop"));
    statusBar()->addPermanentWidget(m_stopButton);
    connect(m_stopButton, &QPushButton::clicked, this, &MainWindow::stopTransfer);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &MainWindow::stopTransfer);
    m_transferMode = std::make_unique<TransferMode>(
        TransferMode::Widgets{this,
                              {m_grid, m_cellEditor, m_entryEffectList, m_exitEffectList,
                               m_stayModeList, m_displayKindList},
                              {findChild<QAction *>(QStringLiteral("mnuFilExit")),
                               findChild<QAction *>(QStringLiteral("Command3d4"))},
                              m_stopButton,
                              escape});
}

void MainWindow::stopTransfer()
{
    m_stop.requestStop();
    m_stopButton->setEnabled(false); // once is enough; the frame on the wire ends first
}

void MainWindow::beginTransfer()
{
    m_stop.reset();
    m_transferUnderWay = true;
    enterTransferMode();
}

void MainWindow::endTransfer()
{
    m_transferUnderWay = false;
    m_transferModePaused = false;
    m_transferMode->leave();
}

void MainWindow::enterTransferMode()
{
    m_transferModePaused = false;
    m_transferMode->enter(m_settingsDialog ? m_settingsDialog->boardCommands()
                                           : QList<QWidget *>());
}

void MainWindow::pauseTransferMode()
{
    // While a box is on screen there is nothing to stop, and the box keeps the
    // window from being used.
    if (!m_transferMode->active())
        return;
    m_transferMode->leave();
    m_transferModePaused = true;
}

void MainWindow::resumeTransferMode()
{
    if (m_transferModePaused && m_transferUnderWay)
        enterTransferMode();
}

void MainWindow::buildEditors(const MainWindowEnvironment &environment)
{
    m_gridEditor = std::make_unique<editor::GridEditor>(
        editor::GridEditorWidgets{m_grid, m_cellEditor, m_entryEffectList, m_stayModeList,
                                  m_exitEffectList, m_displayKindList},
        *m_model, m_state.vocabulary, findChild<QMenu *>(QStringLiteral("mnuedit")), m_prompter);
    m_sourceCommands = std::make_unique<editor::SourceCommands>(
        *m_gridEditor, m_state.settings, m_state.programFolder, m_state.documentFolder, m_prompter,
        *environment.fileChooser);
    m_serialPorts = std::make_unique<settings::SystemSerialPortLister>();

    const auto connectEntry = [this](const char *name, auto handler) {
        connect(findChild<QAction *>(QString::fromLatin1(name)), &QAction::triggered, this,
                handler);
    };
    connectEntry("mnueditins", [this] { m_gridEditor->insertScreen(); });
    connectEntry("mnueditdel", [this] { m_gridEditor->deleteScreen(); });
    connectEntry("mnufiledit", [this] { m_sourceCommands->editRtfFile(); });
    connectEntry("mnupicEdt", [this] { m_sourceCommands->editPicture(); });
    connectEntry("mnupicnew", [this] { m_sourceCommands->newPicture(); });
    connectEntry("mnueditsetting", [this] { showBoardSettings(); });
    connectEntry("Command3d1", [this] { showBoardSettings(); });
}

void MainWindow::buildShowFeed()
{
    m_showFeed = std::make_unique<show_window::ShowFeed>([this] {
        return show_window::ShowInput{m_state.settings, m_state.screens, m_state.vocabulary,
                                      displayFilePath()};
    });
    show_window::ShowFeed *feed = m_showFeed.get();
    connect(m_model, &QAbstractItemModel::dataChanged, feed, &show_window::ShowFeed::changed);
    connect(m_model, &QAbstractItemModel::rowsInserted, feed, &show_window::ShowFeed::changed);
    connect(m_model, &QAbstractItemModel::rowsRemoved, feed, &show_window::ShowFeed::changed);
    connect(m_model, &QAbstractItemModel::modelReset, feed, &show_window::ShowFeed::changed);
}

void MainWindow::openShowWindow()
{
    const QModelIndex current = m_grid->currentIndex();
    const int screen = current.isValid() ? editor::ScreenListModel::listRow(current.row()) - 1 : 0;
    if (m_showWindow) {
        m_showWindow->start(screen);
    } else {
        m_showWindow = new show_window::ShowWindow(*m_showFeed, screen, this);
        m_showWindow->show();
    }
    m_showWindow->raise();
    m_showWindow->activateWindow();
}

void MainWindow::sendClock()
{
    runCommand(link::sendClockFromComputer);
}

void MainWindow::runCommand(const std::function<link::CommandResult(link::BoardLink &)> &command)
{
    std::optional<link::CommandResult> result;
    beginTransfer();
    m_link.run(m_state.settings,
               [&](link::BoardSession &session) { result.emplace(command(session.link())); });
    endTransfer();
    if (!*result)
        common::tell(m_prompter, result->failure());
    else
        m_prompter.show(**result);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("panel3d2"));
    m_contactPanel = new QLabel(bar);
    m_contactPanel->setObjectName(QStringLiteral("panel1"));
    m_fileNamePanel = new QLabel(bar);
    m_fileNamePanel->setObjectName(QStringLiteral("panel2"));
    bar->addWidget(m_contactPanel, 1);
    bar->addWidget(m_fileNamePanel, 1);
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("p"));
    m_progress->setTextVisible(false);
    m_progress->hide();
    bar->addPermanentWidget(m_progress, 1);
    m_transferView = std::make_unique<TransferView>(TransferView::Widgets{
        this,
        m_canvasFrame,
        m_strip1,
        m_strip2,
        m_progress,
        {m_entryEffectList, m_stayModeList, m_exitEffectList, m_displayKindList, m_cellEditor}});
}

void MainWindow::fillDropDownLists()
{
    const Vocabulary &v = m_state.vocabulary;
    for (int p = 0; p < kOfferedEffects; ++p) {
        m_entryEffectList->addItem(v.entryEffects[static_cast<std::size_t>(p)]);
        m_exitEffectList->addItem(v.exitEffects[static_cast<std::size_t>(p)]);
    }
    for (int p = 0; p < kOfferedStayModes; ++p)
        m_stayModeList->addItem(v.stayModes[static_cast<std::size_t>(p)]);
    for (int p = 0; p < kOfferedDisplayKinds; ++p)
        m_displayKindList->addItem(v.displayKinds[static_cast<std::size_t>(p)]);
}

void MainWindow::showSystemInfo()
{
    m_prompter.tell(editor::systemInfoText(m_state.settings), editor::kSystemInfoTitle,
                    common::MessageIcon::Information);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window ends the program at once; nothing is saved or asked.
    // A transfer stops after its frame on the wire and tells nobody.
    if (m_transferUnderWay) {
        m_stop.requestStop(true);
        m_linkPrompter.windowClosed();
        m_closingPrompter.windowClosed();
    }
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::showScreenList()
{
    m_grid->show();
}

void MainWindow::screenListChanged()
{
    m_model->reload();
    const double dpi = logicalDpiX();
    for (int c = 0; c < kScreenColumns; ++c)
        m_grid->setColumnWidth(c,
                               twipsToPixels(kColumnWidthTwips[static_cast<std::size_t>(c)], dpi));
    // The display kind column is one twip wide: there, but not to be seen.
    m_grid->setColumnHidden(DisplayKindColumn, true);
}

void MainWindow::showFileName(const QString &fileName)
{
    m_fileNamePanel->setText(fileName);
}

void MainWindow::showBoardSettings()
{
    settings::BoardSettingsDialog::showOrRaise(m_settingsDialog, [this] {
        auto *dialog = new settings::BoardSettingsDialog(m_state.settings, m_linkOpened, m_prompter,
                                                         *m_serialPorts, this);
        connect(dialog, &settings::BoardSettingsDialog::settingsApplied, this, [this] {
            boardGeometryChanged();
            openLink();
        });
        connect(dialog, &settings::BoardSettingsDialog::clockRequested, this,
                [this](const link::ClockFields &fields) {
                    runCommand([fields](link::BoardLink &board) {
                        return link::sendClockFromFields(board, fields);
                    });
                });
        connect(dialog, &settings::BoardSettingsDialog::displayRangeRequested, this,
                [this](const QString &start, const QString &count) {
                    runCommand([start, count](link::BoardLink &board) {
                        return link::sendDisplayRange(board, start, count);
                    });
                });
        return dialog;
    });
}

std::optional<OpenCellEditor> MainWindow::takeOpenCellEditor()
{
    const auto open = m_gridEditor->takeOpenTextEditor();
    if (!open)
        return std::nullopt;
    return OpenCellEditor{open->listRow, open->column, open->text};
}

void MainWindow::boardGeometryChanged()
{
    picture::layoutCanvas(
        *m_canvas, m_state.settings.scrwidth, m_state.settings.scrhigh, m_state.stripWidth,
        picture::DesktopHeight{m_desktopHeightPixels, m_twipsPerPixel}, m_prompter);
    m_transferView->layoutFrame(m_state.settings.scrwidth, m_state.settings.scrhigh,
                                m_state.stripWidth);
    emit m_showFeed->changed();
}

QString MainWindow::displayFilePath() const
{
    if (m_state.currentFileName.isEmpty())
        return {};
    return QDir(m_state.documentFolder).filePath(m_state.currentFileName);
}

jobs::JobReport MainWindow::runJob(const jobs::Job &job, bool onlyChanges)
{
    // The work reads its own copy of the list: the grid stays the window's.
    const jobs::JobInput input{m_state.screens, displayFilePath(), m_state.compareFileName,
                               onlyChanges, m_state.stripWidth};
    ThreadJobView view(*m_transferView, m_link.windowSide());
    jobs::JobReport report;
    beginTransfer();
    m_link.run(m_state.settings, [&](link::BoardSession &session) {
        report = jobs::runJob(session, input, job, view, m_linkPrompter, m_stop);
    });
    endTransfer();
    return report;
}

void MainWindow::runSendAll()
{
    jobs::tellEnding(m_prompter, runJob(jobs::sendAll).result);
}

void MainWindow::runSendChanged()
{
    jobs::JobReport report = runJob(jobs::sendAll, true);
    jobs::JobResult &result = report.result;
    // The operator learns what went out instead of a bare "发送成功".
    if (result.outcome == jobs::JobOutcome::Completed ||
        result.outcome == jobs::JobOutcome::Declined ||
        result.outcome == jobs::JobOutcome::NothingToSend) {
        const QString summary = jobs::changesSentText(
            report.sentScreens, report.unchangedScreens,
            result.outcome == jobs::JobOutcome::Completed && result.notice.has_value());
        result.notice.reset();
        if (!summary.isEmpty())
            result.notice = common::Message{summary, kProgramTitle, common::MessageIcon::None};
    }
    jobs::tellEnding(m_prompter, result);
}

void MainWindow::runSendSpecifiedPicture()
{
    const QModelIndex current = m_grid->currentIndex();
    const int row = current.isValid() ? editor::ScreenListModel::listRow(current.row()) : 1;
    jobs::tellEnding(m_prompter, runJob([row](jobs::JobContext &context) {
                                     return jobs::sendSpecifiedPicture(context, row);
                                 }).result);
}

void MainWindow::runSendProperties()
{
    jobs::tellEnding(m_prompter, runJob(jobs::sendAllProperties).result);
}

void MainWindow::chooseCompareFile()
{
    common::FileDialogRequest request;
    request.kind = common::FileDialogRequest::Kind::Open;
    request.filter = QStringLiteral("(*.lt)");
    request.folder = m_state.documentFolder;
    request.mustExist = true;
    const QString chosen = m_fileChooser.choose(request);
    if (chosen.isEmpty())
        return;
    m_state.compareFileName = chosen;
    m_fileNamePanel->setText(QStringLiteral("比较文件:") + chosen);
    m_clearCompareAction->setEnabled(true);
}

void MainWindow::clearCompareFile()
{
    // Send All transfers the display file again from now on.
    m_state.compareFileName.clear();
    m_fileNamePanel->setText(m_state.currentFileName);
    m_clearCompareAction->setEnabled(false);
}

void MainWindow::openLink()
{
    QList<common::Failure> failures;
    m_link.run(m_state.settings, [&](link::BoardSession &session) { failures = session.open(); });
    m_linkOpened = true;
    for (const common::Failure &failure : failures)
        common::tell(m_prompter, failure);
}

void MainWindow::bringToFront()
{
    raise();
    activateWindow();
}

} // namespace pravik::app

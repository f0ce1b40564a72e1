#include "main_window.h"

#include "app_state.h"
#include "desktop_metrics.h"
#include "screen_list_model.h"

#include "pravik/document/ip_octets.h"
#include "pravik/document/program_texts.h"
#include "pravik/editor/system_info.h"
#include "pravik/link/board_link.h"
#include "pravik/link/clock.h"
#include "pravik/link/direct_commands.h"
#include "pravik/link/serial_transport.h"
#include "pravik/link/tick_waiter.h"
#include "pravik/link/udp_transport.h"

#include "common/prompter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace pravik::app {

using namespace pravik::document;

MainWindow::MainWindow(AppState &state, const MainWindowEnvironment &environment,
                       QWidget *parent)
    : QMainWindow(parent), m_state(state), m_prompter(*environment.prompter),
      m_fileCommands(state, *environment.prompter, *environment.fileChooser, *this)
{
    setObjectName(QStringLiteral("scredit"));
    setWindowTitle(QStringLiteral("Sunvane"));
    buildCentralArea();
    buildBoardLink();
    buildMenus();
    buildToolbar();
    buildStatusBar();
    setUp(environment);
}

MainWindow::~MainWindow() = default;

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
        for (QComboBox *list : {m_entryEffectList, m_exitEffectList, m_stayModeList, m_displayKindList})
            list->hide();
        for (QComboBox *list : {m_entryEffectList, m_stayModeList, m_exitEffectList, m_displayKindList})
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
    runSetUpStep([this, &environment] { m_state.programFolder = environment.programFolder; });
    runSetUpStep([this] { fillDropDownLists(); });
    runSetUpStep([this, &environment] {
        splitIpOctets(environment.localIpAddress, m_state.settings.ipOctets);
    });
    runSetUpStep([this] { m_state.settings.ipPort = 1973; });
    // Until New or Open the grid shows an empty list.
    initScreenList(m_state.screens);
    screenListChanged();
}

void MainWindow::buildCentralArea()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    m_model = new ScreenListModel(m_state.screens, this);
    m_grid = new QTableView(central);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    layout->addWidget(m_grid);

    m_canvasFrame = new QFrame(central);
    m_canvasFrame->setObjectName(QStringLiteral("scrFrame"));

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

    m_tickTimer = new QTimer(this);
    m_tickTimer->setObjectName(QStringLiteral("Timer1"));
    m_tickTimer->setInterval(10);

    setCentralWidget(central);
}

void MainWindow::buildBoardLink()
{
    m_serialPort = std::make_unique<link::SerialTransport>();
    m_udpSocket = std::make_unique<link::UdpTransport>();
    m_clock = std::make_unique<link::SystemClock>();
    m_tickWaiter = std::make_unique<link::TimerTickWaiter>(*m_tickTimer);
    m_boardLink = std::make_unique<link::BoardLink>(m_state.settings, *m_serialPort, *m_udpSocket,
                                                    m_prompter, *m_clock, *m_tickWaiter);
}

void MainWindow::sendClock()
{
    link::sendClockFromComputer(*m_boardLink);
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
        m_grid->setColumnWidth(c, twipsToPixels(kColumnWidthTwips[static_cast<std::size_t>(c)], dpi));
    // The display kind column is one twip wide: there, but not to be seen.
    m_grid->setColumnHidden(DisplayKindColumn, true);
}

void MainWindow::showFileName(const QString &fileName)
{
    m_fileNamePanel->setText(fileName);
}

void MainWindow::showBoardSettings()
{
    // The board settings dialog is not part of this window yet.
}

std::optional<OpenCellEditor> MainWindow::takeOpenCellEditor()
{
    if (!m_cellEditor->isVisible())
        return std::nullopt;
    m_cellEditor->hide();
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return OpenCellEditor{ScreenListModel::listRow(current.row()), current.column(),
                          m_cellEditor->text()};
}

void MainWindow::boardGeometryChanged()
{
    // The canvas strips follow the board geometry once the canvas exists.
}

void MainWindow::openLink()
{
    m_boardLink->openLink();
}

void MainWindow::bringToFront()
{
    raise();
    activateWindow();
}

} // namespace pravik::app

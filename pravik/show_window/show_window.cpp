#include "show_window.h"

#include "led_board_view.h"
#include "show_caption.h"

#include "pravik/show/show_timing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace pravik::show_window {
namespace {

// A little over 60 frames a second; the show's time comes from the clock, so
// a late tick shows a later frame rather than a slower show.
constexpr int kTickMs = 16;
// The largest pitch the window opens with: larger LEDs only take room.
constexpr int kLargestOpeningPitch = 8;

ShowWindow::Clock monotonicClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

QString speedText(double factor)
{
    return factor == 0.5 ? QStringLiteral("½×") : QString::number(factor) + QStringLiteral("×");
}

} // namespace

ShowWindow::ShowWindow(ShowFeed &feed, int startScreen, QWidget *parent, Clock clock)
    : QWidget(parent, Qt::Window), m_player(feed, QRandomGenerator::global()->generate64()),
      m_clock(clock ? std::move(clock) : monotonicClock())
{
    setObjectName(QStringLiteral("showWindow"));
    setWindowTitle(QStringLiteral("模拟显示"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("showTimer"));
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &ShowWindow::tick);
    connect(&feed, &ShowFeed::changed, this, &ShowWindow::followInput);
    start(startScreen);
    sizeToBoard();
}

void ShowWindow::buildControls()
{
    m_view = new LedBoardView;
    m_view->setObjectName(QStringLiteral("showBoard"));
    auto *area = new QScrollArea(this);
    area->setWidget(m_view);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setPalette(QPalette(QColor(kPanelColour)));

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("showCaption"));
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("showProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: #c00000"));
    // The line keeps its height when it is empty, so that the board does not
    // change its size as screens with and without problems come and go.
    m_problem->setMinimumHeight(m_problem->fontMetrics().height());
    auto *note = new QLabel(kTimingNote, this);
    note->setObjectName(QStringLiteral("showTimingNote"));
    note->setEnabled(false);

    // Space belongs to play and pause, whatever was clicked last.
    const auto control = [this](auto *widget, const char *name) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setFocusPolicy(Qt::NoFocus);
        return widget;
    };
    m_playPause = control(new QPushButton(this), "showPlayPause");
    auto *previous = control(new QPushButton(QStringLiteral("上一幕"), this), "showPrevious");
    auto *next = control(new QPushButton(QStringLiteral("下一幕"), this), "showNext");
    auto *restart = control(new QPushButton(QStringLiteral("重新开始"), this), "showRestart");
    m_speed = control(new QComboBox(this), "showSpeed");
    for (const double factor : show::kSpeedFactors)
        m_speed->addItem(speedText(factor), factor);
    m_speed->setCurrentIndex(m_speed->findData(1.0));
    m_loop = control(new QCheckBox(QStringLiteral("循环"), this), "showLoop");
    m_loop->setChecked(true);

    connect(m_playPause, &QPushButton::clicked, this, [this] { setPlaying(!playing()); });
    auto *space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    connect(space, &QShortcut::activated, this, [this] { setPlaying(!playing()); });
    connect(previous, &QPushButton::clicked, this, [this] {
        m_player.previous();
        showPlayer(true);
    });
    connect(next, &QPushButton::clicked, this, [this] {
        m_player.next();
        showPlayer(true);
    });
    connect(restart, &QPushButton::clicked, this, [this] {
        // A play that ended stopped by itself, not by the operator's pause:
        // starting it over plays it again.
        const bool ended = m_player.ended();
        m_player.restart();
        showPlayer(true);
        if (ended)
            setPlaying(true);
    });
    connect(m_speed, &QComboBox::currentIndexChanged, this, [this] {
        m_player.setSpeedFactor(m_speed->currentData().toDouble());
        showPlayer(true); // the caption's times are those of the new speed
    });
    connect(m_loop, &QCheckBox::toggled, this, [this](bool loop) { m_player.setLoop(loop); });

    auto *controls = new QHBoxLayout;
    for (QWidget *widget : std::initializer_list<QWidget *>{m_playPause, previous, next, restart})
        controls->addWidget(widget);
    controls->addWidget(new QLabel(QStringLiteral("速度"), this));
    controls->addWidget(m_speed);
    controls->addWidget(m_loop);
    controls->addStretch(1);
    controls->addWidget(note);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(area, 1);
    layout->addWidget(m_caption);
    layout->addWidget(m_problem);
    layout->addLayout(controls);
}

void ShowWindow::sizeToBoard()
{
    // Large enough to see every LED, small enough to leave the grid in view.
    const show::LedImage &frame = m_player.frame();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (frame.isEmpty() || !screen)
        return;
    const QRect desktop = screen->availableGeometry();
    const int pitch = std::clamp(std::min(desktop.width() * 9 / 10 / frame.width(),
                                          desktop.height() * 6 / 10 / frame.height()),
                                 kMinimumPitch, kLargestOpeningPitch);
    const QSize board =
        QSize(frame.width() * pitch, frame.height() * pitch).boundedTo(desktop.size() * 9 / 10);
    resize(board.width() + 24, board.height() + sizeHint().height());
}

void ShowWindow::start(int screen)
{
    m_player.start(screen);
    showPlayer(true);
    setPlaying(true);
}

bool ShowWindow::playing() const
{
    return m_timer->isActive();
}

void ShowWindow::setPlaying(bool play)
{
    if (play && m_player.ended()) {
        m_player.restart();
        showPlayer(true);
    }
    if (play) {
        m_lastTickMs = m_clock();
        m_timer->start();
    } else {
        m_timer->stop();
    }
    m_playPause->setText(play ? QStringLiteral("暂停") : QStringLiteral("播放"));
}

void ShowWindow::tick()
{
    const std::int64_t now = m_clock();
    m_player.advance(now - m_lastTickMs);
    m_lastTickMs = now;
    showPlayer(false);
    if (m_player.ended())
        setPlaying(false);
}

void ShowWindow::showPlayer(bool relabel)
{
    m_view->setFrame(m_player.frame());
    // The labels change a few times a screen; setting them at every frame
    // would lay the window out 60 times a second.
    if (!relabel && m_player.moment() == m_captioned && !m_player.ended())
        return;
    m_captioned = m_player.moment();
    m_caption->setText(m_player.caption());
    m_problem->setText(QString(m_player.problem()).replace(u'\n', QStringLiteral("  ")));
}

void ShowWindow::followInput()
{
    m_player.inputChanged();
    // A paused show has no next screen to wait for: it shows the edit now.
    if (!playing() && !m_player.ended()) {
        m_player.restartScreen();
        showPlayer(true);
    }
}

} // namespace pravik::show_window

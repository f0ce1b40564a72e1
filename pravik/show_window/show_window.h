#pragma once

#include "show_player.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace pravik::show_window {

class LedBoardView;

// "模拟显示": the screen list played as the board plays it, in a window of
// its own beside the grid. It only wires the controls to the player and
// draws what the player shows, about 60 times a second.
class ShowWindow : public QWidget
{
    Q_OBJECT
public:
    // A monotonic clock in milliseconds; the window's own when none is given.
    using Clock = std::function<std::int64_t()>;

    ShowWindow(ShowFeed &feed, int startScreen, QWidget *parent = nullptr, Clock clock = {});

    // Plays from list index `screen` again, as when the window opened.
    void start(int screen);
    bool playing() const;
    void setPlaying(bool playing);
    const ShowPlayer &player() const { return m_player; }

private:
    void buildControls();
    void sizeToBoard();
    void tick();
    void showPlayer(bool relabel);
    void followInput();

    ShowPlayer m_player;
    Clock m_clock;
    QTimer *m_timer = nullptr;
    std::int64_t m_lastTickMs = 0;
    show::ShowMoment m_captioned;

    LedBoardView *m_view = nullptr;
    QLabel *m_caption = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_playPause = nullptr;
    QComboBox *m_speed = nullptr;
    QCheckBox *m_loop = nullptr;
};

} // namespace pravik::show_window

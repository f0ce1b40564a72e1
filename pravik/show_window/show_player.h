#pragma once

#include "show_feed.h"

#include "pravik/show/show.h"
#include "pravik/show/show_loading.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace pravik::show_window {

// The show as the window plays it: the whole list from a chosen screen, at a
// chosen speed, looping or once to the end of the list. A screen whose
// picture cannot be drawn plays as a dark board, with the message Send All
// would give, and the play goes on. A changed input is read again when the
// next screen starts, so that an edit never cuts into a screen playing.
class ShowPlayer
{
public:
    explicit ShowPlayer(const ShowFeed &feed, std::uint64_t seed = 0);
    ~ShowPlayer();

    // The input changed; it is read before the next screen starts.
    void inputChanged() { m_stale = true; }
    bool inputStale() const { return m_stale; }

    // Plays from list index `screen` (the first one when there is no such
    // screen), from its entry, and makes it the screen restart goes back to.
    void start(int screen);
    void restart() { playFrom(m_startScreen); }
    void next() { playFrom(m_moment.screen + 1); }
    void previous() { playFrom(m_moment.screen - 1 + screenCount()); }
    // The screen playing again from its entry, with the input as it is now.
    void restartScreen() { playFrom(std::max(m_moment.screen, 0)); }

    // Moves the show on by `ms` of watching at the speed factor.
    void advance(std::int64_t ms);
    void setSpeedFactor(double factor) { m_speedFactor = factor; }
    void setLoop(bool loop) { m_loop = loop; }
    // Without the loop, the play ends, dark, after the last screen of the list.
    bool ended() const { return m_ended; }

    const show::LedImage &frame() const { return m_frame; }
    // The screen is a list index, -1 without screens; at the end, the last one.
    const show::ShowMoment &moment() const { return m_moment; }
    int screenCount() const { return int(m_screens.size()); }
    // The screen playing and its parts, with the times they take at the speed factor.
    QString caption() const;
    // Why the screen playing is dark, in Send All's words; empty when it is not.
    QString problem() const;

private:
    void load();
    void playFrom(int screen);
    void showMomentAt(std::int64_t boardMs);

    const ShowFeed &m_feed;
    std::uint64_t m_seed;
    ShowInput m_input;
    std::vector<show::LoadedScreen> m_screens;
    bool m_stale = true;

    // The show starts with list index m_first, so that its time 0 is that
    // screen's entry; list order follows, round the end of the list.
    std::unique_ptr<show::Show> m_show;
    int m_first = 0;
    int m_startScreen = 0;
    double m_boardMs = 0;
    double m_speedFactor = 1;
    bool m_loop = true;
    bool m_ended = false;
    show::ShowMoment m_moment;
    show::LedImage m_frame;
};

} // namespace pravik::show_window

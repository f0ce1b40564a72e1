#include "show_player.h"

#include "show_caption.h"

#include "pravik/show/show_pass.h"
#include "pravik/show/show_timing.h"

#include <QStringList>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace pravik::show_window {

using namespace pravik::show;

ShowPlayer::ShowPlayer(const ShowFeed &feed, std::uint64_t seed) : m_feed(feed), m_seed(seed) {}

ShowPlayer::~ShowPlayer() = default;

void ShowPlayer::load()
{
    m_input = m_feed.input();
    m_screens = loadScreens(ShowSources{m_input.settings, m_input.screens, m_input.vocabulary,
                                        m_input.displayFileName});
    m_stale = false;
}

void ShowPlayer::start(int screen)
{
    if (m_stale)
        load();
    m_startScreen = screen >= 0 && screen < screenCount() ? screen : 0;
    playFrom(m_startScreen);
}

void ShowPlayer::playFrom(int screen)
{
    if (m_stale)
        load();
    const int count = screenCount();
    m_first = count > 0 ? ((screen % count) + count) % count : 0;
    std::vector<ShowScreen> rotated;
    rotated.reserve(m_screens.size());
    for (int i = 0; i < count; ++i)
        rotated.push_back(m_screens[std::size_t((m_first + i) % count)].screen);
    // "显示时间" shows this computer's time, as the board shows its own.
    const QTime now = QTime::currentTime();
    m_show =
        std::make_unique<Show>(m_input.settings, std::move(rotated),
                               ShowOptions{m_seed, QTime(now.hour(), now.minute(), now.second())});
    m_boardMs = 0;
    m_ended = false;
    showMomentAt(0);
}

void ShowPlayer::showMomentAt(std::int64_t boardMs)
{
    m_moment = m_show->frameAt(boardMs, m_frame);
    if (m_moment.screen >= 0)
        m_moment.screen = (m_moment.screen + m_first) % screenCount();
}

void ShowPlayer::advance(std::int64_t ms)
{
    if (m_ended || !m_show || !std::isfinite(m_speedFactor) || m_speedFactor <= 0)
        return;
    // The board's time is kept in fractions, so that a slow show does not
    // lose a little at every tick. It moves a step unit at a time, the
    // shortest part of a show, so that no change of screen is jumped over.
    double rest = double(ms) * m_speedFactor;
    while (rest > 0) {
        const double step = std::min(rest, double(kStepUnitMs));
        rest -= step;
        m_boardMs += step;
        ShowMoment next = m_show->momentAt(std::int64_t(m_boardMs));
        if (next.screen >= 0)
            next.screen = (next.screen + m_first) % screenCount();
        const bool wrapped = passOrder(next) < passOrder(m_moment);
        if (!m_loop && wrapped) {
            // The last screen stays named, so that the play can go on from it.
            m_ended = true;
            m_frame.fill(Off);
            return;
        }
        if (m_stale && (wrapped || next.screen != m_moment.screen)) {
            // The edit is played from the screen that comes next, from its entry.
            playFrom(next.screen);
            continue;
        }
        m_moment = next;
    }
    showMomentAt(std::int64_t(m_boardMs));
}

QString ShowPlayer::caption() const
{
    if (m_ended)
        return kEndCaption;
    if (m_moment.screen < 0)
        return kNoScreensCaption;
    return showCaption(m_moment.screen, m_screens[std::size_t(m_moment.screen)].screen.properties,
                       m_moment, m_input.vocabulary, m_input.settings.scrwidth,
                       m_input.settings.scrhigh, m_speedFactor);
}

QString ShowPlayer::problem() const
{
    if (m_moment.screen < 0 || m_ended)
        return QString();
    // Shown beside the board each time the screen plays, not in a box that
    // stops the play.
    QStringList texts;
    for (const common::Failure &problem : m_screens[std::size_t(m_moment.screen)].problems)
        texts << problem.text;
    return texts.join(u'\n');
}

} // namespace pravik::show_window

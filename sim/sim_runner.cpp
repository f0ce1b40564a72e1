#include "sim_runner.h"

#include "png_writer.h"

#include <QTextStream>

#include <chrono>
#include <cmath>
#include <thread>

namespace LedBoardSim {

SimRunner::SimRunner(const SimOptions &options, Link *link, FrameLog *log, QObject *parent)
    : QObject(parent), m_options(options), m_link(link), m_log(log), m_board(options.board),
      m_pacer(options.baud)
{
    m_clock.start();
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, &SimRunner::sendDueReplies);
    connect(m_link, &Link::received, this, &SimRunner::onReceived);
    m_hangUpTimer.setInterval(5);
    connect(&m_hangUpTimer, &QTimer::timeout, this, &SimRunner::hangUpWhenTaken);
}

void SimRunner::onReceived(const QByteArray &bytes, const LinkPeer &peer)
{
    // Once the board has decided to hang up it takes nothing more.
    if (m_hangingUp || m_finished)
        return;
    const double now = nowMs();
    m_pacer.noteReceived(m_received, static_cast<int>(bytes.size()), now);
    m_received += bytes.size();
    m_reader.append(bytes);
    for (ReadItem item = m_reader.next(); item.status != FrameStatus::Incomplete;
         item = m_reader.next()) {
        handleItem(item, peer, now);
    }
    // A datagram is a whole frame: whatever is left of it will never be completed.
    if (m_link->carriesDatagrams()) {
        const ReadItem rest = m_reader.takeRest();
        if (rest.status != FrameStatus::Incomplete)
            handleItem(rest, peer, now);
    }
    sendDueReplies();
}

void SimRunner::handleItem(const ReadItem &item, const LinkPeer &peer, double nowMs)
{
    Reaction reaction = m_board.handle(item);
    reaction.logEntry[u"t_ms"] = std::round(nowMs * 10.0) / 10.0;
    reaction.logEntry[u"transport"] = m_link->name();
    if (!peer.describe().isEmpty())
        reaction.logEntry[u"peer"] = peer.describe();
    // The picture goes out before the log line, so that whoever follows the
    // log finds the file complete.
    if (reaction.screenToShow)
        showScreen(*reaction.screenToShow);
    m_log->append(reaction.logEntry);

    if (reaction.reply.isEmpty() && !reaction.hangUp)
        return;
    const double ready = std::max(m_pacer.arrivalMs(item.endOffset), nowMs) + m_options.echoDelayMs;
    PendingReply pending;
    pending.dueMs = m_pacer.transmitDoneMs(static_cast<int>(reaction.reply.size()), ready);
    pending.bytes = reaction.reply;
    pending.peer = peer;
    pending.hangUp = reaction.hangUp;
    m_pending.append(pending);
    if (reaction.hangUp)
        m_hangingUp = true;
}

void SimRunner::sendDueReplies()
{
    // Answers leave in the order of the frames; the due times never decrease.
    // The timer counts whole milliseconds, so the last fraction of a wait is
    // slept here: a paced line must not lose half a millisecond per frame.
    if (!m_pending.isEmpty()) {
        const double early = m_pending.constFirst().dueMs - nowMs();
        if (early > 0 && early < 1.0)
            std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(early));
    }
    while (!m_pending.isEmpty() && m_pending.constFirst().dueMs <= nowMs()) {
        const PendingReply reply = m_pending.takeFirst();
        if (!reply.bytes.isEmpty())
            m_link->send(reply.bytes, reply.peer);
        if (reply.hangUp) {
            m_pending.clear();
            m_hangUpClock.start();
            m_hangUpTimer.start();
            return;
        }
    }
    if (!m_pending.isEmpty()) {
        const double wait = m_pending.constFirst().dueMs - nowMs();
        m_replyTimer.start(static_cast<int>(std::floor(std::max(wait, 0.0))));
    }
}

void SimRunner::hangUpWhenTaken()
{
    // Closing a pty master throws away what the other side has not read yet,
    // and the kernel moves written bytes across with a small delay. So wait
    // until the answer has been seen queued and then read; if it is never
    // seen the sender was quicker than this check.
    const int unread = m_link->unreadBySender();
    if (unread > 0)
        m_answerSeenQueued = true;
    const qint64 waited = m_hangUpClock.elapsed();
    if ((m_answerSeenQueued && unread == 0) || (!m_answerSeenQueued && waited >= unseenAnswerMs) ||
        waited >= longestHangUpWaitMs)
        finish();
}

void SimRunner::showScreen(int screen)
{
    if (m_options.outDir.isEmpty())
        return;
    QString error;
    if (writeScreenPng(m_board.planes().render(screen), m_options.outDir, screen, &error).isEmpty())
        QTextStream(stderr) << "ledboard-sim: " << error << Qt::endl;
    m_board.planes().markShown(screen);
}

void SimRunner::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_replyTimer.stop();
    m_hangUpTimer.stop();
    const ReadItem rest = m_reader.takeRest();
    if (rest.status != FrameStatus::Incomplete)
        handleItem(rest, LinkPeer{}, nowMs());
    for (int screen : m_board.planes().takeChangedScreens())
        showScreen(screen);
    m_log->close();
    m_link->close();
    emit finished(0);
}

} // namespace LedBoardSim

#pragma once

#include "board.h"
#include "frame_log.h"
#include "frame_reader.h"
#include "line_pacer.h"
#include "link.h"
#include "sim_options.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

namespace LedBoardSim {

// Joins a link to the board: input goes through the frame reader, answers are
// sent when a real line would have carried them, every item is logged and
// pictures are written out.
class SimRunner : public QObject
{
    Q_OBJECT

public:
    SimRunner(const SimOptions &options, Link *link, FrameLog *log, QObject *parent = nullptr);

    // Logs what is left unfinished, writes changed screens and closes the line.
    void finish();

signals:
    void finished(int exitCode);

private:
    // Bounds on waiting for the sender to take the last answer before hanging up.
    static constexpr int unseenAnswerMs = 50;
    static constexpr int longestHangUpWaitMs = 1000;

    struct PendingReply
    {
        double dueMs = 0.0;
        QByteArray bytes;
        LinkPeer peer;
        bool hangUp = false;
    };

    void onReceived(const QByteArray &bytes, const LinkPeer &peer);
    void handleItem(const ReadItem &item, const LinkPeer &peer, double nowMs);
    void sendDueReplies();
    void showScreen(int screen);
    void hangUpWhenTaken();
    double nowMs() const { return static_cast<double>(m_clock.nsecsElapsed()) / 1e6; }

    SimOptions m_options;
    Link *m_link;
    FrameLog *m_log;
    Board m_board;
    FrameReader m_reader;
    LinePacer m_pacer;
    QElapsedTimer m_clock;
    qint64 m_received = 0;
    QList<PendingReply> m_pending;
    QTimer m_replyTimer;
    QTimer m_hangUpTimer;
    QElapsedTimer m_hangUpClock;
    bool m_answerSeenQueued = false;
    bool m_hangingUp = false;
    bool m_finished = false;
};

} // namespace LedBoardSim

#include "fleet_send.h"

#include "fleet_report.h"
#include "send_job.h"
#include "stop_on_signals.h"
#include "terminal_prompter.h"

#include "pravik/document/program_texts.h"
#include "pravik/jobs/board_ledger.h"
#include "pravik/jobs/board_record_file.h"
#include "pravik/jobs/job_messages.h"
#include "pravik/jobs/job_view.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/link/board_link.h"
#include "pravik/link/clock.h"
#include "pravik/link/serial_transport.h"
#include "pravik/link/shared_udp_transport.h"
#include "pravik/link/tick_waiter.h"

#include "common/recording_prompter.h"

#include <QElapsedTimer>
#include <QMap>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <unistd.h>

namespace pravik::cli {
namespace {

constexpr int kMostLinksAtOnce = 64;
constexpr int kProgressMsecs = 200;

// Where one board's transfer is, for its progress line; written by the
// board's thread, read by the terminal's.
struct BoardProgress
{
    std::atomic<int> screen{-1}; // the screen on the wire; -1 before the first
    std::atomic<bool> done{false};
};

class ProgressView : public jobs::JobView
{
public:
    explicit ProgressView(BoardProgress &progress) : m_progress(progress) {}
    void beginTransfer(int) override {}
    void showScreen(int row, const QString &, const picture::BoardCanvas &) override
    {
        m_progress.screen = row - 1;
    }
    void setProgress(int) override {}
    void endTransfer(bool) override {}

private:
    BoardProgress &m_progress;
};

// What every board's thread reads; nothing in it changes once they run.
struct FleetRun
{
    const LoadedBoard &board;
    const QString &displayFile;
    bool onlyChanges;
    bool startDisplay;
    const jobs::StopToken &stop;
    link::SharedUdpSockets &sockets;
};

struct BoardRun
{
    BoardOutcome outcome;
    QStringList messages; // for standard error
};

QString messageLine(const common::Message &message)
{
    const QString title = message.title.trimmed();
    return (title.isEmpty() ? kProgramTitle : title) + QStringLiteral(": ") + message.text;
}

bool succeeded(const BoardOutcome &outcome)
{
    return outcome.result == BoardOutcome::Result::Sent ||
           outcome.result == BoardOutcome::Result::Unchanged;
}

BoardOutcome outcomeOf(const jobs::JobResult &result, const common::RecordingPrompter &prompter)
{
    BoardOutcome outcome;
    switch (result.outcome) {
    case jobs::JobOutcome::Completed:
    case jobs::JobOutcome::Declined:
        break;
    case jobs::JobOutcome::NothingToSend:
        outcome.result = BoardOutcome::Result::Unchanged;
        break;
    case jobs::JobOutcome::Cancelled:
        outcome.result = BoardOutcome::Result::Stopped;
        break;
    case jobs::JobOutcome::Stopped:
        outcome.result = BoardOutcome::Result::Failed;
        outcome.code = result.failedExchange != link::ExchangeResult::Ok
                           ? static_cast<int>(result.failedExchange)
                           : ExitStoppedWithMessage;
        break;
    }
    if (!succeeded(outcome)) {
        // The first message says what went wrong; any after it follow from it.
        for (const common::Message &message : prompter.messages()) {
            if (message.buttons != common::MessageButtons::YesNo) {
                outcome.message = messageLine(message);
                break;
            }
        }
    }
    return outcome;
}

// One board, with the very job a send to one board runs. `line` is the
// serial port of the board's link, shared with the boards after it there.
BoardRun sendToBoard(const FleetRun &run, const FleetBoard &fleetBoard, link::SerialLink &line,
                     BoardProgress &progress)
{
    QElapsedTimer elapsed;
    elapsed.start();
    LoadedBoard board{run.board.settings, run.board.screens, {}};
    board.serialDevice = applyLinkOverride(fleetBoard.linkOverride, board.settings);
    board.settings.setBusAddress(fleetBoard.busAddress);

    common::RecordingPrompter prompter([&run](const common::Message &message) {
        if (message.buttons == common::MessageButtons::YesNo)
            return run.startDisplay ? common::MessageAnswer::Yes : common::MessageAnswer::No;
        return common::RecordingPrompter::accept(message);
    });
    common::RecordingPrompter notices;
    link::SharedUdpTransport udp(run.sockets);
    link::SystemClock clock;
    QTimer tickTimer;
    link::TimerTickWaiter tickWaiter(tickTimer);
    link::BoardLink boardLink(board.settings, line, udp, prompter, clock, tickWaiter);
    if (!board.serialDevice.isEmpty())
        boardLink.setDeviceForPort([device = board.serialDevice](int) { return device; });
    boardLink.openLink();

    ProgressView view(progress);
    jobs::BoardLedger ledger(jobs::boardRecordFolder(), boardIdentityFor(board), board.settings,
                             run.onlyChanges, notices);
    const QString noCompareFile;
    const jobs::JobResult result = runSendJob(
        {board, run.displayFile, noCompareFile, boardLink, prompter, view, run.stop, &ledger},
        jobs::sendAll);
    jobs::tellNotice(prompter, result);

    BoardRun done{outcomeOf(result, prompter), {}};
    done.outcome.screens = static_cast<int>(ledger.sentScreens().size());
    done.outcome.seconds = elapsed.nsecsElapsed() / 1e9;
    for (const common::Message &message : notices.messages())
        done.messages << messageLine(message);
    // A board that did its job has nothing to tell beyond the table.
    if (!succeeded(done.outcome)) {
        for (const common::Message &message : prompter.messages())
            if (message.buttons != common::MessageButtons::YesNo)
                done.messages << messageLine(message);
    }
    return done;
}

// The boards of each link, in file order: a link carries one board at a time.
QList<QList<int>> boardsByLink(const QList<FleetBoard> &boards)
{
    QList<QList<int>> links;
    QMap<QString, qsizetype> linkOf;
    for (int i = 0; i < boards.size(); ++i) {
        const QString key = fleetLinkKey(boards[i].linkOverride);
        if (!linkOf.contains(key)) {
            linkOf.insert(key, links.size());
            links.append(QList<int>());
        }
        links[linkOf.value(key)] << i;
    }
    return links;
}

void drawProgress(QTextStream &out, const QList<FleetBoard> &boards,
                  const std::vector<BoardProgress> &progress, int screens, bool redraw)
{
    if (redraw)
        out << "\x1b[" << boards.size() << 'A';
    for (qsizetype i = 0; i < boards.size(); ++i) {
        const int screen = progress[i].screen;
        out << "\r\x1b[K" << boards[i].name << "  "
            << (progress[i].done ? QStringLiteral("done")
                : screen < 0     ? QStringLiteral("waiting")
                                 : QStringLiteral("screen %1 of %2").arg(screen).arg(screens))
            << '\n';
    }
    out.flush();
}

bool askStartDisplay(const LoadedBoard &board, Terminal &terminal)
{
    // Every board gets the same list, so one answer does for all, given
    // before the boards start rather than in the middle of their lines.
    TerminalPrompter prompter(terminal.err, &terminal.in);
    const common::Message question{jobs::startDisplayQuestion(board.screens.screenCount()),
                                   jobs::kStartDisplayTitle, common::MessageIcon::None,
                                   common::MessageButtons::YesNo};
    return prompter.show(question) == common::MessageAnswer::Yes;
}

} // namespace

int runFleetSend(const LoadedBoard &board, const QString &displayFile,
                 const QList<FleetBoard> &boards, const FleetOptions &options, Terminal &terminal)
{
    const bool startDisplay = options.answer ? *options.answer : askStartDisplay(board, terminal);
    const StopOnSignals stopOnSignals;
    link::SharedUdpSockets sockets;
    const FleetRun run{board,        displayFile,           options.onlyChanges,
                       startDisplay, stopOnSignals.token(), sockets};

    const QList<QList<int>> links = boardsByLink(boards);
    std::vector<BoardProgress> progress(boards.size());
    std::vector<BoardRun> runs(static_cast<std::size_t>(boards.size()));
    std::atomic<qsizetype> nextLink{0};
    const auto sendLinks = [&] {
        for (qsizetype taken = nextLink++; taken < links.size(); taken = nextLink++) {
            // The serial port of the link, if it is one, for its boards in turn.
            link::SerialTransport line;
            for (const int index : links[taken]) {
                if (stopOnSignals.token().stopRequested())
                    runs[index].outcome.result = BoardOutcome::Result::Stopped;
                else
                    runs[index] = sendToBoard(run, boards[index], line, progress[index]);
                progress[index].done = true;
            }
        }
    };
    const qsizetype threadCount =
        std::min<qsizetype>(options.jobs > 0 ? options.jobs : kMostLinksAtOnce, links.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (qsizetype i = 0; i < threadCount; ++i) {
        threads.emplace_back(QThread::create(sendLinks));
        threads.back()->start();
    }

    const bool showProgress = isatty(STDOUT_FILENO) != 0;
    const int screens = board.screens.screenCount();
    if (showProgress)
        drawProgress(terminal.out, boards, progress, screens, false);
    for (const auto &thread : threads) {
        while (!thread->wait(kProgressMsecs)) {
            if (showProgress)
                drawProgress(terminal.out, boards, progress, screens, true);
        }
    }
    if (showProgress)
        terminal.out << "\x1b[" << boards.size() << "A\x1b[J";

    QList<BoardOutcome> outcomes;
    for (qsizetype i = 0; i < boards.size(); ++i) {
        BoardRun &done = runs[i];
        if (done.outcome.result == BoardOutcome::Result::Stopped)
            done.outcome.code = stopOnSignals.exitStatus(ExitStoppedWithMessage);
        for (const QString &message : done.messages)
            terminal.err << boards[i].name << ": " << message << '\n';
        outcomes << done.outcome;
    }
    terminal.err.flush();
    const int status = fleetExitStatus(outcomes);
    if (options.json)
        terminal.out << fleetJson(boards, outcomes, status);
    else
        terminal.out << fleetTable(boards, outcomes);
    return status;
}

} // namespace pravik::cli

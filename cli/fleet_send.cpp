#include "fleet_send.h"

#include "fleet_report.h"
#include "stop_on_signals.h"
#include "terminal_prompter.h"

#include "pravik/fleet/fleet_send.h"
#include "pravik/jobs/job_messages.h"

#include <QTextStream>
#include <atomic>
#include <thread>
#include <unistd.h>

namespace pravik::cli {
namespace {

constexpr int kProgressMsecs = 200;

// Where each board is, for its progress line: written by the boards' threads,
// drawn by the terminal's.
class TerminalFleetView : public fleet::FleetView
{
public:
    explicit TerminalFleetView(qsizetype boards) : m_boards(static_cast<std::size_t>(boards)) {}

    void screenSending(int board, int screen) override { at(board).screen = screen; }
    void boardFinished(int board, const fleet::BoardOutcome &) override { at(board).done = true; }

    // One line per board, over the lines drawn before when `redraw`.
    void draw(QTextStream &out, const QList<fleet::FleetBoard> &boards, int screens, bool redraw)
    {
        if (redraw)
            out << "\x1b[" << boards.size() << 'A';
        for (int i = 0; i < boards.size(); ++i) {
            const Board &board = at(i);
            const int screen = board.screen;
            out << "\r\x1b[K" << boards[i].name << "  "
                << (board.done   ? QStringLiteral("done")
                    : screen < 0 ? QStringLiteral("waiting")
                                 : QStringLiteral("screen %1 of %2").arg(screen).arg(screens))
                << '\n';
        }
        out.flush();
    }

private:
    struct Board
    {
        std::atomic<int> screen{-1}; // the screen on the wire; -1 before the first
        std::atomic<bool> done{false};
    };
    Board &at(int board) { return m_boards[static_cast<std::size_t>(board)]; }

    std::vector<Board> m_boards;
};

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
                 const QList<fleet::FleetBoard> &boards, const FleetOptions &options,
                 Terminal &terminal)
{
    fleet::FleetSend send{board.settings, board.screens, displayFile};
    send.onlyChanges = options.onlyChanges;
    send.startDisplay = options.answer ? *options.answer : askStartDisplay(board, terminal);
    send.linksAtOnce = options.jobs;
    const StopOnSignals stopOnSignals;
    TerminalFleetView view(boards.size());

    QList<fleet::BoardOutcome> outcomes;
    std::atomic<bool> finished{false};
    std::thread boardsAtWork([&] {
        outcomes = fleet::sendToFleet(send, boards, view, stopOnSignals.token());
        finished = true;
    });
    const bool showProgress = isatty(STDOUT_FILENO) != 0;
    const int screens = board.screens.screenCount();
    if (showProgress) {
        view.draw(terminal.out, boards, screens, false);
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kProgressMsecs));
            view.draw(terminal.out, boards, screens, true);
        }
    }
    boardsAtWork.join();
    if (showProgress)
        terminal.out << "\x1b[" << boards.size() << "A\x1b[J";

    for (qsizetype i = 0; i < boards.size(); ++i) {
        fleet::BoardOutcome &outcome = outcomes[i];
        if (outcome.result == fleet::BoardOutcome::Result::Stopped)
            outcome.code = stopOnSignals.exitStatus(ExitStoppedWithMessage);
        for (const QString &line : std::as_const(outcome.notices))
            terminal.err << boards[i].name << ": " << line << '\n';
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

#include "fleet_send.h"

#include "pravik/jobs/job_runner.h"
#include "pravik/jobs/job_view.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/link/board_session.h"

#include "common/recording_prompter.h"

#include <QElapsedTimer>

namespace pravik::fleet {
namespace {

// A board's progress for the fleet's view: the screen on the wire.
class BoardProgress : public jobs::JobView
{
public:
    BoardProgress(FleetView &view, int board) : m_view(view), m_board(board) {}
    void beginTransfer(int) override {}
    void showScreen(int row, const QString &, const picture::BoardCanvas &) override
    {
        m_view.screenSending(m_board, row - 1);
    }
    void setProgress(int) override {}
    void endTransfer(bool) override {}

private:
    FleetView &m_view;
    const int m_board;
};

BoardOutcome stoppedBeforeStart()
{
    BoardOutcome outcome;
    outcome.result = BoardOutcome::Result::Stopped;
    outcome.code = common::kFailedCode;
    return outcome;
}

BoardOutcome sendToBoard(const FleetSend &send, const FleetBoard &board, int index, FleetLink &link,
                         FleetView &view, const jobs::StopToken &stop,
                         const SessionMaker &makeSession)
{
    if (stop.stopRequested())
        return stoppedBeforeStart();
    QElapsedTimer elapsed;
    elapsed.start();
    const BoardOnLink onLink = boardOnLink(board, send.fileSettings);
    const std::unique_ptr<link::BoardSession> session = makeSession(onLink, link);
    BoardOutcome outcome;
    if (const QList<common::Failure> failures = session->open(); !failures.isEmpty()) {
        // Nothing can go out over a port or socket that did not open.
        outcome.result = BoardOutcome::Result::Failed;
        outcome.code = failures.first().code;
        outcome.message = messageLine(failures.first().message());
        outcome.notices << outcome.message;
    } else {
        common::RecordingPrompter prompter([&send](const common::Message &message) {
            if (message.buttons == common::MessageButtons::YesNo)
                return send.startDisplay ? common::MessageAnswer::Yes : common::MessageAnswer::No;
            return common::RecordingPrompter::accept(message);
        });
        BoardProgress progress(view, index);
        jobs::JobInput input{send.screens,     send.displayFile,   {},
                             send.onlyChanges, jobs::kWidestStrip, send.recordFolder};
        const jobs::JobReport report =
            jobs::runJob(*session, input, jobs::sendAll, progress, prompter, stop);
        outcome = outcomeOf(report.result);
        outcome.screens = static_cast<int>(report.sentScreens.size());
        // What the board's record told comes before what followed a failure.
        QStringList notices;
        for (const common::Message &message : prompter.messages()) {
            if (message.buttons != common::MessageButtons::YesNo)
                notices << messageLine(message);
        }
        outcome.notices = notices + outcome.notices;
    }
    outcome.seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
    return outcome;
}

} // namespace

std::unique_ptr<link::BoardSession> fleetSession(const BoardOnLink &board, FleetLink &link)
{
    return std::make_unique<link::BoardSession>(board.settings, board.serialDevice, link.line,
                                                link.sockets);
}

QList<BoardOutcome> sendToFleet(const FleetSend &send, const QList<FleetBoard> &boards,
                                FleetView &view, const jobs::StopToken &stop,
                                const SessionMaker &makeSession, FleetRunner::LineMaker makeLine)
{
    QList<BoardOutcome> outcomes(boards.size());
    {
        FleetRunner runner(send.linksAtOnce, std::move(makeLine));
        for (int i = 0; i < boards.size(); ++i) {
            runner.submit(
                boardOnLink(boards[i], send.fileSettings).linkIdentity(), [&, i](FleetLink &link) {
                    outcomes[i] = sendToBoard(send, boards[i], i, link, view, stop, makeSession);
                    view.boardFinished(i, outcomes[i]);
                });
        }
        runner.waitUntilIdle();
    }
    return outcomes;
}

} // namespace pravik::fleet

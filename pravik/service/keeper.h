#pragma once

#include "board_state.h"
#include "remote_service.h"
#include "service_setup.h"

#include "pravik/fleet/fleet_runner.h"
#include "pravik/jobs/stop_token.h"

#include <QObject>
#include <functional>
#include <memory>

namespace pravik::service {

class ServiceClock;
struct WorkDone;
struct WorkOrder;

// A line for the service's log (the journal): what it did and what failed.
using LogLine = std::function<void(const QString &line)>;

// Does a board's work on a fleet runner's thread: doWork, or a stand-in.
using WorkDoer = std::function<WorkDone(
    const WorkOrder &order, fleet::FleetLink &link, const jobs::StopToken &stop,
    const std::function<void(int screen, int screens)> &progress)>;

// The running service: it keeps every board of the fleet showing what the
// schedule says. At each minute, on reload, when content changes and when a
// failing board's retry is due, it works out what each board should show and
// acts only where that differs from what the board acknowledged, through the
// fleet runner and the boards' records. It lives on one thread; the boards'
// work runs on the fleet runner's.
class Keeper : public QObject
{
    Q_OBJECT
public:
    Keeper(ServiceSetup setup, ServiceClock &clock, LogLine log, WorkDoer doer = {},
           QObject *parent = nullptr);
    // Stops the boards' work after the frame on the wire and waits for it.
    ~Keeper() override;

    // Reads the fleet, the schedule and the boards' states; the failure when
    // the fleet or the schedule cannot be used. Nothing is sent yet.
    common::Status load();
    // Starts keeping the boards that load() read: the first work goes out.
    void keepBoards();
    // load() and, when it succeeded, keepBoards().
    common::Status start();
    // Reads the fleet and the schedule again (SIGHUP). On a failure the old
    // ones stay, and the failure is returned and logged.
    common::Status reload();
    // A file of the content folder changed: what depends on it is compared
    // again.
    void contentChanged();

    // Every board's state, in the fleet's order.
    QList<BoardState> states() const;
    // Whether work for the board, or for any board, is under way.
    bool busy(const QString &board) const;
    bool idle() const;
    // The job under way on the board; 0 for none.
    int jobOf(const QString &board) const;

    // What an operator asks of a board: the job's id, or why it is refused
    // (the Refusal codes). A display file or range sent stands against the
    // schedule until its next change for the board.
    common::Expected<int> command(const Command &command);
    // Stops the job under way on the board after its frame on the wire.
    common::Expected<int> stopBoard(const QString &board);
    // A job of the recent past or under way.
    std::optional<JobStatus> job(int id) const;

    const ServiceSetup &setup() const;
    // The fleet and the schedule in use.
    const ServiceFiles &files() const;

signals:
    void stateChanged(const pravik::service::BoardState &state);
    // A job was queued, began, sent a screen or ended.
    void jobChanged(const pravik::service::JobStatus &job);
    // The schedule had the service act on a board.
    void scheduledAction(const QString &board, const QString &what, const QDateTime &time);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace pravik::service

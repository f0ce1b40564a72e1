#pragma once

#include "board_state.h"

#include "pravik/schedule/schedule.h"

#include "common/failure.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace pravik::service {

// Why the service refused an operator's command: the failure's code.
enum class Refusal : int {
    UnknownBoard = 10, // no such board in the fleet
    BoardBusy = 11,    // the board's job is under way
    UnknownFile = 12,  // no such display file in the content folder
    BadRequest = 13,   // the command makes no sense (a range out of bounds, a bad name)
    NothingToStop = 14,
    UnknownJob = 15,
    Stopping = 16, // the service is ending; the command was not taken
};

// A refusal of the service as a failure: `why` is its code.
common::Failure refused(Refusal why, const QString &text);

// What the operator asks of a board through the service.
struct Command
{
    enum class Kind { SendChanges, SendAll, SetClock, SendRange };
    Kind kind = Kind::SendChanges;
    QString board;
    QString file; // SendChanges and SendAll: the display file, relative to the content folder
    schedule::DisplayRange range; // SendRange
};

QString commandName(Command::Kind kind); // "send", "send-all", "clock", "range"

// One job the service runs for a board, an operator's or the schedule's.
struct JobStatus
{
    enum class State { Queued, Running, Done, Failed, Stopped };
    int id = 0;
    QString board;
    QString kind; // "send", "send-all", "clock", "range", "scheduled"
    QString what; // what it puts on the board, for the operator
    State state = State::Queued;
    int screen = -1; // the screen on the wire; -1 before the first
    int screens = 0; // how many the file has
    std::optional<LastFailure> failure;
    QDateTime started;
    QDateTime ended;
};

QString jobStateName(JobStatus::State state);
QJsonObject jobToJson(const JobStatus &job);

// A board as the remote control shows it: its state and where it is.
struct BoardView
{
    BoardState state;
    QString link;
    int address = 1;
    bool busy = false;
    int job = 0; // the job under way; 0: none
};

QJsonObject boardToJson(const BoardView &board);

// A display file of the content folder with its screens.
struct ContentFile
{
    QString file; // relative to the content folder
    int width = 0;
    int height = 0;
    int type = 0;
    QList<QJsonObject> screens; // index, picture, entry, stay, exit as the grid names them
};

QJsonObject contentToJson(const ContentFile &file);

// Something that happened, for the event stream: "state" (a board's state),
// "progress" (a job's screen), "job" (a job began or ended), "action" (what
// the schedule did).
struct ServiceEvent
{
    QString type;
    QJsonObject data;
};

// What the remote control may read and do. Every call is safe from any
// thread: reads come from a copy kept up to date, commands are handed to the
// service's thread and answered from there.
class RemoteService
{
public:
    virtual ~RemoteService() = default;

    virtual QList<BoardView> boards() = 0;
    virtual std::optional<BoardView> board(const QString &name) = 0;

    // The job's id, or why the command was refused (Refusal codes).
    virtual common::Expected<int> command(const Command &command) = 0;
    // Stops the job under way on the board after its frame on the wire; its id.
    virtual common::Expected<int> stop(const QString &board) = 0;
    virtual std::optional<JobStatus> job(int id) = 0;

    // What plays when, as pravikd --plan: from `from` for `hours` hours.
    virtual common::Expected<QJsonObject> plan(const QDateTime &from, int hours) = 0;

    virtual QList<ContentFile> content() = 0;
    // Screen `index` (from 0) of the display file as the board shows it, PNG.
    virtual common::Expected<QByteArray> screenPicture(const QString &file, int index) = 0;
    // The display file's screens played as the board plays them, animated GIF.
    virtual common::Expected<QByteArray> showPicture(const QString &file) = 0;
    // Stores a display file and the pictures and text files it names (keyed by
    // the name the display file gives each) in the content folder, with the
    // display file's paths rewritten to where they were stored. The stored
    // display file's name, relative to the content folder.
    virtual common::Expected<QString> upload(const QString &displayFileName,
                                             const QByteArray &displayFile,
                                             const QMap<QString, QByteArray> &pictures) = 0;

    // Calls `listener` from any thread with every event from now on, until
    // the returned handle is dropped.
    using Listener = std::function<void(const ServiceEvent &event)>;
    virtual std::shared_ptr<void> subscribe(Listener listener) = 0;
};

} // namespace pravik::service

#include "keeper.h"

#include "board_work.h"
#include "content.h"
#include "service_clock.h"
#include "state_store.h"
#include "state_writer.h"

#include "pravik/fleet/board_outcome.h"
#include "pravik/fleet/fleet_runner.h"
#include "pravik/schedule/describe.h"
#include "pravik/schedule/showing.h"
#include "pravik/schedule/timeline.h"

#include <map>
#include <vector>

namespace pravik::service {
namespace {

// How many ended jobs can still be asked about.
constexpr std::size_t kJobsKept = 500;

} // namespace

struct Keeper::Private
{
    Private(Keeper &keeper, ServiceSetup serviceSetup, ServiceClock &serviceClock, LogLine logLine,
            WorkDoer workDoer)
        : q(keeper), setup(std::move(serviceSetup)), clock(serviceClock), log(std::move(logLine)),
          doer(std::move(workDoer)), store(setup.stateFolder),
          writer(store, [this](const QString &board, const common::Failure &failure) {
              QMetaObject::invokeMethod(
                  &q,
                  [this, board, text = failure.text] {
                      log(QStringLiteral("%1: the state cannot be kept: %2").arg(board, text));
                  },
                  Qt::QueuedConnection);
          })
    {
    }

    Keeper &q;
    ServiceSetup setup;
    ServiceClock &clock;
    LogLine log;
    WorkDoer doer;
    StateStore store;
    StateWriter writer;
    ServiceFiles files;
    std::map<QString, BoardState> states;
    // The work under way, by board: its job and what stops it.
    struct Active
    {
        int job = 0;
        std::shared_ptr<jobs::StopToken> stop;
    };
    std::map<QString, Active> active;
    std::map<int, JobStatus> jobs;
    int lastJob = 0;
    // The content's stamps as last read, by file; a file's failure is kept
    // too, so that it is logged once and not every minute.
    std::map<QString, common::Expected<QByteArray>> stamps;
    std::map<QString, QString> contentProblems; // by board, as last logged
    bool closing = false;
    std::unique_ptr<fleet::FleetRunner> runner;

    // What keeping a board leaves to do once its work is given: its state to
    // save (the schedule's next change moved on), the action to tell.
    struct Kept
    {
        QString board;
        bool save = false;
        QString action;
    };
    void reconcile();
    Kept keep(const fleet::FleetBoard &board, const QDateTime &now);
    void settle(const Kept &kept, const QDateTime &now);
    schedule::Showing desiredFor(BoardState &state, const QDateTime &now);
    int submit(const fleet::FleetBoard &board, const BoardWork &work, const QString &kind,
               bool everything, const QDateTime &now);
    void progressed(int job, int screen, int screens);
    void finished(const WorkOrder &order, const WorkDone &done);
    void endJob(int job, JobStatus::State state, const common::Status &failure);
    void save(const BoardState &state);
    void wakeNext(const QDateTime &now);
    void adoptFiles(ServiceFiles newFiles);
    const common::Expected<QByteArray> &stampOf(const QString &file);
    const fleet::FleetBoard *boardNamed(const QString &name) const;
};

Keeper::Keeper(ServiceSetup setup, ServiceClock &clock, LogLine log, WorkDoer doer, QObject *parent)
    : QObject(parent),
      d(std::make_unique<Private>(*this, std::move(setup), clock, std::move(log), std::move(doer)))
{
    if (!d->doer)
        d->doer = [](const WorkOrder &order, fleet::FleetLink &link, const jobs::StopToken &stop,
                     const WorkProgress &progress) { return doWork(order, link, stop, progress); };
    d->runner = std::make_unique<fleet::FleetRunner>(d->setup.linksAtOnce);
}

Keeper::~Keeper()
{
    // The boards' work ends after the frame on the wire; nothing it posts
    // back is looked at any more.
    d->closing = true;
    for (const auto &[board, work] : d->active)
        work.stop->requestStop(true);
    d->runner.reset();
}

common::Status Keeper::load()
{
    common::Expected<ServiceFiles> files = readServiceFiles(d->setup);
    if (!files)
        return files.failure();
    d->adoptFiles(std::move(*files));
    return {};
}

void Keeper::keepBoards()
{
    d->log(QStringLiteral("keeping %1 boards by %2")
               .arg(d->files.boards.size())
               .arg(d->setup.scheduleFile));
    d->reconcile();
}

common::Status Keeper::start()
{
    if (common::Status failed = load())
        return failed;
    keepBoards();
    return {};
}

common::Status Keeper::reload()
{
    common::Expected<ServiceFiles> files = readServiceFiles(d->setup);
    if (!files) {
        d->log(
            QStringLiteral("reload refused, the files in use stay: %1").arg(files.failure().text));
        return files.failure();
    }
    d->adoptFiles(std::move(*files));
    d->stamps.clear();
    d->log(QStringLiteral("reloaded: %1 boards").arg(d->files.boards.size()));
    d->reconcile();
    return {};
}

void Keeper::contentChanged()
{
    d->stamps.clear();
    d->reconcile();
}

QList<BoardState> Keeper::states() const
{
    QList<BoardState> all;
    for (const fleet::FleetBoard &board : d->files.boards)
        all << d->states.at(board.name);
    return all;
}

bool Keeper::busy(const QString &board) const
{
    return d->active.count(board) != 0;
}

bool Keeper::idle() const
{
    return d->active.empty();
}

int Keeper::jobOf(const QString &board) const
{
    const auto work = d->active.find(board);
    return work == d->active.end() ? 0 : work->second.job;
}

const ServiceSetup &Keeper::setup() const
{
    return d->setup;
}

const ServiceFiles &Keeper::files() const
{
    return d->files;
}

std::optional<JobStatus> Keeper::job(int id) const
{
    const auto known = d->jobs.find(id);
    if (known == d->jobs.end())
        return std::nullopt;
    return known->second;
}

common::Expected<int> Keeper::command(const Command &command)
{
    const fleet::FleetBoard *board = d->boardNamed(command.board);
    if (!board)
        return refused(Refusal::UnknownBoard,
                       QStringLiteral("no board named %1 in the fleet").arg(command.board));
    if (busy(command.board))
        return refused(
            Refusal::BoardBusy,
            QStringLiteral("%1 is busy with job %2").arg(command.board).arg(jobOf(command.board)));
    const QDateTime now = d->clock.now();
    BoardWork work;
    switch (command.kind) {
    case Command::Kind::SetClock:
        work.setClock = true;
        break;
    case Command::Kind::SendRange: {
        const schedule::DisplayRange &range = command.range;
        if (range.start < 0 || range.start > 238 || range.count < 1 ||
            range.start + range.count > 239)
            return refused(Refusal::BadRequest,
                           QStringLiteral("a range is 1 to 239 screens from screen 0 to 238"));
        work.sendContent = true;
        work.content = schedule::Showing{{}, range, 0};
        break;
    }
    case Command::Kind::SendChanges:
    case Command::Kind::SendAll: {
        if (!contentPath(d->setup.contentFolder, command.file))
            return refused(Refusal::BadRequest,
                           QStringLiteral("%1 is no name in the content folder").arg(command.file));
        const common::Expected<QByteArray> stamp =
            contentStamp(d->setup.contentFolder, command.file);
        if (!stamp)
            return refused(Refusal::UnknownFile, stamp.failure().text);
        work.sendContent = true;
        work.content = schedule::Showing{command.file, {}, 0};
        work.stamp = *stamp;
        break;
    }
    }
    return d->submit(*board, work, commandName(command.kind),
                     command.kind == Command::Kind::SendAll, now);
}

common::Expected<int> Keeper::stopBoard(const QString &board)
{
    if (!d->boardNamed(board))
        return refused(Refusal::UnknownBoard,
                       QStringLiteral("no board named %1 in the fleet").arg(board));
    const auto work = d->active.find(board);
    if (work == d->active.end())
        return refused(Refusal::NothingToStop,
                       QStringLiteral("%1 has no job under way").arg(board));
    work->second.stop->requestStop(true);
    return work->second.job;
}

void Keeper::Private::adoptFiles(ServiceFiles newFiles)
{
    files = std::move(newFiles);
    // A board back in the fleet is read as last written.
    writer.flush();
    std::map<QString, BoardState> kept;
    for (const fleet::FleetBoard &board : files.boards) {
        if (const auto known = states.find(board.name); known != states.end()) {
            kept.insert(*known);
            continue;
        }
        common::Expected<BoardState> state = store.read(board.name);
        if (!state) {
            // A state that cannot be trusted is started afresh: the board
            // is then sent what it should show, which its record keeps short.
            log(QStringLiteral("%1: %2; starting afresh").arg(board.name, state.failure().text));
            BoardState fresh;
            fresh.board = board.name;
            kept.emplace(board.name, fresh);
        } else {
            kept.emplace(board.name, *state);
        }
    }
    states = std::move(kept);
}

const fleet::FleetBoard *Keeper::Private::boardNamed(const QString &name) const
{
    for (const fleet::FleetBoard &board : files.boards) {
        if (board.name == name)
            return &board;
    }
    return nullptr;
}

const common::Expected<QByteArray> &Keeper::Private::stampOf(const QString &file)
{
    auto known = stamps.find(file);
    if (known == stamps.end())
        known = stamps.emplace(file, contentStamp(setup.contentFolder, file)).first;
    return known->second;
}

void Keeper::Private::reconcile()
{
    const QDateTime now = clock.now();
    // Every board's work is given before its action is told: the audit
    // trail writes each one through to the disk, a millisecond or more, and
    // a hundred of them would hold the last boards back from their minute.
    std::vector<Kept> kept;
    kept.reserve(files.boards.size());
    for (const fleet::FleetBoard &board : files.boards)
        kept.push_back(keep(board, now));
    for (const Kept &board : kept)
        settle(board, now);
    wakeNext(now);
}

// What the board should show now: what an operator put on it until the
// schedule's next change, else what the schedule says.
schedule::Showing Keeper::Private::desiredFor(BoardState &state, const QDateTime &now)
{
    const schedule::Showing scheduled =
        schedule::showingAt(files.schedule, state.board, setup.zone, now);
    if (state.override) {
        if (!state.override->until.isValid() || state.override->until > now)
            return schedule::Showing{state.override->file, state.override->range, 0};
        state.override.reset();
        save(state);
    }
    return scheduled;
}

Keeper::Private::Kept Keeper::Private::keep(const fleet::FleetBoard &board, const QDateTime &now)
{
    Kept kept{board.name, false, {}};
    BoardState &state = states.at(board.name);
    if (!state.nextChange.isValid() || state.nextChange <= now) {
        const QDateTime next = schedule::nextChange(files.schedule, board.name, setup.zone, now);
        if (next != state.nextChange) {
            state.nextChange = next;
            kept.save = true;
        }
    }
    if (active.count(board.name) != 0)
        return kept;
    PlanInput input{now, setup.zone, files.schedule, desiredFor(state, now), {}};
    if (!input.desired.file.isEmpty()) {
        const common::Expected<QByteArray> &stamp = stampOf(input.desired.file);
        if (stamp) {
            contentProblems.erase(board.name);
            input.stamp = *stamp;
        } else {
            // Broken content is no fault of the board: it keeps what it
            // shows, and the problem is logged once.
            QString &logged = contentProblems[board.name];
            if (logged != stamp.failure().text) {
                logged = stamp.failure().text;
                log(QStringLiteral("%1: cannot show %2: %3")
                        .arg(board.name, input.desired.file, stamp.failure().text));
            }
            input.desired = {};
        }
    }
    const BoardWork work = planFor(state, input);
    if (work.isEmpty())
        return kept;
    kept.action = work.sendContent ? schedule::describe(work.content) : QStringLiteral("the clock");
    submit(board, work, QStringLiteral("scheduled"), false, now);
    return kept;
}

void Keeper::Private::settle(const Kept &kept, const QDateTime &now)
{
    const auto known = states.find(kept.board);
    if (known == states.end())
        return;
    if (kept.save)
        save(known->second);
    if (!kept.action.isEmpty())
        emit q.scheduledAction(kept.board, kept.action, now);
}

int Keeper::Private::submit(const fleet::FleetBoard &board, const BoardWork &work,
                            const QString &kind, bool everything, const QDateTime &now)
{
    const int id = ++lastJob;
    auto stop = std::make_shared<jobs::StopToken>();
    active[board.name] = Active{id, stop};
    JobStatus status;
    status.id = id;
    status.board = board.name;
    status.kind = kind;
    status.what = work.sendContent ? schedule::describe(work.content) : QStringLiteral("clock");
    if (work.sendContent && work.setClock)
        status.what = QStringLiteral("clock, ") + status.what;
    status.started = now;
    jobs[id] = status;
    while (jobs.size() > kJobsKept)
        jobs.erase(jobs.begin());
    emit q.jobChanged(status);
    if (work.sendContent)
        log(QStringLiteral("%1: to show %2 (job %3)").arg(board.name, status.what).arg(id));

    WorkOrder order{id,  board,     work, everything, setup.contentFolder, setup.recordFolder,
                    now, setup.zone};
    runner->submit(
        fleet::boardOnLink(board, {}).linkIdentity(), [this, order, stop](fleet::FleetLink &link) {
            const WorkDone done =
                doer(order, link, *stop, [this, id = order.job](int screen, int screens) {
                    QMetaObject::invokeMethod(
                        &q, [this, id, screen, screens] { progressed(id, screen, screens); },
                        Qt::QueuedConnection);
                });
            QMetaObject::invokeMethod(
                &q, [this, order, done] { finished(order, done); }, Qt::QueuedConnection);
        });
    return id;
}

void Keeper::Private::progressed(int job, int screen, int screens)
{
    const auto known = jobs.find(job);
    if (known == jobs.end())
        return;
    JobStatus &status = known->second;
    status.state = JobStatus::State::Running;
    status.screen = screen;
    status.screens = screens;
    emit q.jobChanged(status);
}

void Keeper::Private::endJob(int job, JobStatus::State state, const common::Status &failure)
{
    const auto known = jobs.find(job);
    if (known == jobs.end())
        return;
    JobStatus &status = known->second;
    status.state = state;
    status.ended = clock.now();
    if (failure)
        status.failure =
            LastFailure{failure->code, fleet::messageLine(failure->message()), status.ended};
    emit q.jobChanged(status);
}

void Keeper::Private::finished(const WorkOrder &order, const WorkDone &done)
{
    const QString &name = order.board.name;
    active.erase(name);
    endJob(order.job,
           done.stopped   ? JobStatus::State::Stopped
           : done.failure ? JobStatus::State::Failed
                          : JobStatus::State::Done,
           done.failure);
    const auto known = states.find(name);
    // A board the fleet lost meanwhile, or the service is closing.
    if (known == states.end() || closing)
        return;
    BoardState &state = known->second;
    const QDateTime now = clock.now();
    if (done.contacted)
        state.lastContact = now;
    if (done.clockSet) {
        state.clockSet = now;
        state.clockOffsetSeconds = setup.zone.offsetFromUtc(now);
        log(QStringLiteral("%1: clock set").arg(name));
    }
    if (done.contentSent) {
        const schedule::Showing &content = order.work.content;
        // A range alone is shown of whatever file the board holds.
        const bool rangeAlone = content.file.isEmpty() && state.shown.has_value();
        state.shown = Shown{rangeAlone ? state.shown->file : content.file, content.range,
                            rangeAlone ? state.shown->content : order.work.stamp, now};
        // What an operator sent stands until the schedule's next change.
        if (order.job > 0 && jobs.count(order.job) != 0 &&
            jobs.at(order.job).kind != QStringLiteral("scheduled"))
            state.override = Override{content.file, content.range,
                                      schedule::nextChange(files.schedule, name, setup.zone, now)};
        log(QStringLiteral("%1: shows %2").arg(name, schedule::describe(content)));
    }
    const bool recovered = state.health == Health::Failing || state.health == Health::Offline;
    if (done.failure) {
        noteFailure(state, *done.failure, now);
        log(QStringLiteral("%1: %2 (%3 in a row), next try at %4")
                .arg(name, state.lastFailure->message)
                .arg(state.failuresInARow)
                .arg(state.nextRetry.toTimeZone(setup.zone).toString(Qt::ISODate)));
    } else if (!done.stopped) {
        noteSuccess(state, now);
        if (recovered)
            log(QStringLiteral("%1: answers again").arg(name));
    }
    save(state);
    // What changed meanwhile (a window, a file, the content after the clock)
    // is looked at now, not only at the next minute; a board an operator
    // stopped waits for the next minute.
    if (const fleet::FleetBoard *board = boardNamed(name); board && !done.stopped)
        settle(keep(*board, clock.now()), clock.now());
    wakeNext(clock.now());
}

void Keeper::Private::save(const BoardState &state)
{
    writer.write(state);
    emit q.stateChanged(state);
}

void Keeper::Private::wakeNext(const QDateTime &now)
{
    // Every minute boundary, and a failing board's retry if it comes sooner.
    const qint64 msecs = now.toMSecsSinceEpoch();
    QDateTime next = QDateTime::fromMSecsSinceEpoch(msecs - msecs % 60'000 + 60'000, Qt::UTC);
    for (const auto &[name, state] : states) {
        if (state.nextRetry.isValid() && state.nextRetry > now && state.nextRetry < next &&
            active.count(name) == 0)
            next = state.nextRetry;
    }
    clock.wakeAt(next, [this] { reconcile(); });
}

} // namespace pravik::service

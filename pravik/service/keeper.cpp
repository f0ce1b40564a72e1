#include "keeper.h"

#include "board_work.h"
#include "content.h"
#include "service_clock.h"
#include "state_store.h"

#include "pravik/fleet/board_outcome.h"
#include "pravik/fleet/fleet_runner.h"
#include "pravik/schedule/describe.h"
#include "pravik/schedule/showing.h"
#include "pravik/schedule/timeline.h"

#include <map>
#include <set>

namespace pravik::service {

struct Keeper::Private
{
    Keeper &q;
    ServiceSetup setup;
    ServiceClock &clock;
    LogLine log;
    WorkDoer doer;
    StateStore store;
    ServiceFiles files;
    std::map<QString, BoardState> states;
    std::set<QString> busy;
    // The content's stamps as last read, by file; a file's failure is kept
    // too, so that it is logged once and not every minute.
    std::map<QString, common::Expected<QByteArray>> stamps;
    std::map<QString, QString> contentProblems; // by board, as last logged
    jobs::StopToken stop;
    std::unique_ptr<fleet::FleetRunner> runner;

    void reconcile();
    void keep(const fleet::FleetBoard &board, const QDateTime &now);
    void submit(const fleet::FleetBoard &board, const BoardWork &work, const QDateTime &now);
    void finished(const WorkOrder &order, const WorkDone &done);
    void save(const BoardState &state);
    void wakeNext(const QDateTime &now);
    void adoptFiles(ServiceFiles newFiles);
    const common::Expected<QByteArray> &stampOf(const QString &file);
    const fleet::FleetBoard *boardNamed(const QString &name) const;
};

Keeper::Keeper(ServiceSetup setup, ServiceClock &clock, LogLine log, WorkDoer doer, QObject *parent)
    : QObject(parent),
      d(new Private{
          *this,
          std::move(setup),
          clock,
          std::move(log),
          doer ? std::move(doer)
               : WorkDoer([](const WorkOrder &order, fleet::FleetLink &link,
                             const jobs::StopToken &stop) { return doWork(order, link, stop); }),
          StateStore(QString()),
          {},
          {},
          {},
          {},
          {},
          {},
          nullptr})
{
    d->store = StateStore(d->setup.stateFolder);
    d->runner = std::make_unique<fleet::FleetRunner>(d->setup.linksAtOnce);
}

Keeper::~Keeper()
{
    // The boards' work ends after the frame on the wire; nothing it posts
    // back is looked at any more.
    d->stop.requestStop(true);
    d->runner.reset();
}

common::Status Keeper::start()
{
    common::Expected<ServiceFiles> files = readServiceFiles(d->setup);
    if (!files)
        return files.failure();
    d->adoptFiles(std::move(*files));
    d->log(QStringLiteral("keeping %1 boards by %2")
               .arg(d->files.boards.size())
               .arg(d->setup.scheduleFile));
    d->reconcile();
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
    return d->busy.count(board) != 0;
}

bool Keeper::idle() const
{
    return d->busy.empty();
}

void Keeper::Private::adoptFiles(ServiceFiles newFiles)
{
    files = std::move(newFiles);
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
    for (const fleet::FleetBoard &board : files.boards)
        keep(board, now);
    wakeNext(now);
}

void Keeper::Private::keep(const fleet::FleetBoard &board, const QDateTime &now)
{
    BoardState &state = states.at(board.name);
    const schedule::Showing desired =
        schedule::showingAt(files.schedule, board.name, setup.zone, now);
    if (!state.nextChange.isValid() || state.nextChange <= now) {
        const QDateTime next = schedule::nextChange(files.schedule, board.name, setup.zone, now);
        if (next != state.nextChange) {
            state.nextChange = next;
            save(state);
        }
    }
    if (busy.count(board.name) != 0)
        return;

    PlanInput input{now, setup.zone, files.schedule, desired, {}};
    if (!desired.file.isEmpty()) {
        const common::Expected<QByteArray> &stamp = stampOf(desired.file);
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
                        .arg(board.name, desired.file, stamp.failure().text));
            }
            input.desired = {};
        }
    }
    const BoardWork work = planFor(state, input);
    if (!work.isEmpty())
        submit(board, work, now);
}

void Keeper::Private::submit(const fleet::FleetBoard &board, const BoardWork &work,
                             const QDateTime &now)
{
    busy.insert(board.name);
    if (work.sendContent)
        log(QStringLiteral("%1: to show %2").arg(board.name, schedule::describe(work.content)));
    const WorkOrder order{board, work, setup.contentFolder, setup.recordFolder, now, setup.zone};
    runner->submit(
        fleet::boardOnLink(board, {}).linkIdentity(), [this, order](fleet::FleetLink &link) {
            const WorkDone done = doer(order, link, stop);
            QMetaObject::invokeMethod(
                &q, [this, order, done] { finished(order, done); }, Qt::QueuedConnection);
        });
}

void Keeper::Private::finished(const WorkOrder &order, const WorkDone &done)
{
    const QString &name = order.board.name;
    busy.erase(name);
    const auto known = states.find(name);
    // A board the fleet lost meanwhile, or work the service stopped.
    if (known == states.end() || done.stopped)
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
        const QString file =
            content.file.isEmpty() && state.shown ? state.shown->file : content.file;
        const QByteArray stamp =
            content.file.isEmpty() && state.shown ? state.shown->content : order.work.stamp;
        state.shown = Shown{file, content.range, stamp, now};
        log(QStringLiteral("%1: shows %2").arg(name, schedule::describe(content)));
    }
    const bool recovered = state.health == Health::Failing || state.health == Health::Offline;
    if (done.failure) {
        noteFailure(state, *done.failure, now);
        log(QStringLiteral("%1: %2 (%3 in a row), next try at %4")
                .arg(name, state.lastFailure->message)
                .arg(state.failuresInARow)
                .arg(state.nextRetry.toTimeZone(setup.zone).toString(Qt::ISODate)));
    } else {
        noteSuccess(state, now);
        if (recovered)
            log(QStringLiteral("%1: answers again").arg(name));
    }
    save(state);
    // What changed meanwhile (a window, a file, the content after the clock)
    // is looked at now, not only at the next minute.
    if (boardNamed(name))
        keep(*boardNamed(name), clock.now());
    wakeNext(clock.now());
}

void Keeper::Private::save(const BoardState &state)
{
    if (const common::Status failed = store.write(state))
        log(QStringLiteral("%1: the state cannot be kept: %2").arg(state.board, failed->text));
    emit q.stateChanged(state);
}

void Keeper::Private::wakeNext(const QDateTime &now)
{
    // Every minute boundary, and a failing board's retry if it comes sooner.
    const qint64 msecs = now.toMSecsSinceEpoch();
    QDateTime next = QDateTime::fromMSecsSinceEpoch(msecs - msecs % 60'000 + 60'000, Qt::UTC);
    for (const auto &[name, state] : states) {
        if (state.nextRetry.isValid() && state.nextRetry > now && state.nextRetry < next &&
            busy.count(name) == 0)
            next = state.nextRetry;
    }
    clock.wakeAt(next, [this] { reconcile(); });
}

} // namespace pravik::service

#include "keeper_remote.h"

#include "content_upload.h"
#include "content_views.h"
#include "keeper.h"

#include "pravik/fleet/fleet_file.h"
#include "pravik/schedule/describe.h"
#include "pravik/schedule/timeline.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QThread>
#include <future>

namespace pravik::service {
namespace {

// How many hours a plan may span: two weeks.
constexpr int kLongestPlanHours = 24 * 14;

QJsonValue rangeValue(const std::optional<schedule::DisplayRange> &range)
{
    if (!range)
        return QJsonValue();
    return QJsonObject{{QStringLiteral("start"), range->start},
                       {QStringLiteral("count"), range->count}};
}

common::Failure stopping()
{
    return refused(Refusal::Stopping, QStringLiteral("the service is stopping"));
}

QString zoned(const QDateTime &time, const QTimeZone &zone)
{
    return time.toTimeZone(zone)
        .toString(Qt::ISODateWithMs)
        .replace(QStringLiteral(".000"), QString());
}

} // namespace

// The listeners of the event stream; a handle's end takes its listener away.
struct KeeperRemote::Listeners
{
    std::mutex mutex;
    std::map<int, Listener> listeners;
    int last = 0;
};

KeeperRemote::KeeperRemote(Keeper &keeper, QObject *parent)
    : QObject(parent), m_keeper(keeper), m_listeners(std::make_shared<Listeners>())
{
    filesChanged();
    connect(&keeper, &Keeper::stateChanged, this, [this](const BoardState &state) {
        refreshBoards();
        for (const BoardView &view : boards()) {
            if (view.state.board == state.board)
                publish({QStringLiteral("state"), boardToJson(view)});
        }
    });
    connect(&keeper, &Keeper::jobChanged, this, [this](const JobStatus &job) {
        {
            const std::lock_guard lock(m_mutex);
            m_jobs[job.id] = job;
            // Only the keeper's recent past is asked about.
            while (m_jobs.size() > 500)
                m_jobs.erase(m_jobs.begin());
        }
        refreshBoards();
        if (job.state == JobStatus::State::Running)
            publish({QStringLiteral("progress"),
                     QJsonObject{{QStringLiteral("job"), job.id},
                                 {QStringLiteral("board"), job.board},
                                 {QStringLiteral("screen"), job.screen},
                                 {QStringLiteral("screens"), job.screens}}});
        else
            publish({QStringLiteral("job"), jobToJson(job)});
    });
    connect(&keeper, &Keeper::scheduledAction, this,
            [this](const QString &board, const QString &what, const QDateTime &time) {
                publish(
                    {QStringLiteral("action"),
                     QJsonObject{{QStringLiteral("board"), board},
                                 {QStringLiteral("what"), what},
                                 {QStringLiteral("time"), time.toUTC().toString(Qt::ISODate)}}});
            });
}

KeeperRemote::~KeeperRemote() = default;

template <typename Work> auto KeeperRemote::onKeeperThread(Work work)
{
    using Result = decltype(work());
    if (QThread::currentThread() == thread())
        return std::optional<Result>(work());
    auto done = std::make_shared<std::promise<Result>>();
    std::future<Result> result = done->get_future();
    {
        const std::lock_guard lock(m_handing);
        if (m_closed)
            return std::optional<Result>();
        QMetaObject::invokeMethod(
            this, [done, &work] { done->set_value(work()); }, Qt::QueuedConnection);
    }
    try {
        return std::optional<Result>(result.get());
    } catch (const std::future_error &) {
        return std::optional<Result>(); // the call was dropped unrun with this object
    }
}

void KeeperRemote::close()
{
    {
        const std::lock_guard lock(m_handing);
        m_closed = true;
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void KeeperRemote::filesChanged()
{
    {
        const std::lock_guard lock(m_mutex);
        m_files = m_keeper.files();
        m_setup = m_keeper.setup();
    }
    refreshBoards();
}

void KeeperRemote::refreshBoards()
{
    QList<BoardView> views;
    const QList<BoardState> states = m_keeper.states();
    const ServiceFiles &files = m_keeper.files();
    for (qsizetype i = 0; i < states.size() && i < files.boards.size(); ++i) {
        const fleet::FleetBoard &board = files.boards[i];
        views << BoardView{states[i], fleet::boardOnLink(board, {}).linkIdentity(),
                           board.busAddress, m_keeper.busy(board.name), m_keeper.jobOf(board.name)};
    }
    const std::lock_guard lock(m_mutex);
    m_boards = views;
}

QList<BoardView> KeeperRemote::boards()
{
    const std::lock_guard lock(m_mutex);
    return m_boards;
}

std::optional<BoardView> KeeperRemote::board(const QString &name)
{
    const std::lock_guard lock(m_mutex);
    for (const BoardView &view : std::as_const(m_boards)) {
        if (view.state.board == name)
            return view;
    }
    return std::nullopt;
}

common::Expected<int> KeeperRemote::command(const Command &command)
{
    return onKeeperThread([&] { return m_keeper.command(command); }).value_or(stopping());
}

common::Expected<int> KeeperRemote::stop(const QString &board)
{
    return onKeeperThread([&] { return m_keeper.stopBoard(board); }).value_or(stopping());
}

std::optional<JobStatus> KeeperRemote::job(int id)
{
    const std::lock_guard lock(m_mutex);
    const auto known = m_jobs.find(id);
    if (known == m_jobs.end())
        return std::nullopt;
    return known->second;
}

common::Expected<QJsonObject> KeeperRemote::plan(const QDateTime &from, int hours)
{
    if (hours < 1 || hours > kLongestPlanHours || !from.isValid())
        return refused(
            Refusal::BadRequest,
            QStringLiteral("a plan spans 1 to %1 hours from a valid time").arg(kLongestPlanHours));
    ServiceFiles files;
    QTimeZone zone;
    {
        const std::lock_guard lock(m_mutex);
        files = m_files;
        zone = m_setup.zone;
    }
    const QDateTime until = from.addSecs(qint64(hours) * 3600);
    QJsonArray boards;
    for (const fleet::FleetBoard &board : std::as_const(files.boards)) {
        QJsonArray segments;
        for (const schedule::Segment &segment :
             schedule::timeline(files.schedule, board.name, zone, from, until))
            segments.append(
                QJsonObject{{QStringLiteral("from"), zoned(segment.from, zone)},
                            {QStringLiteral("until"), zoned(segment.until, zone)},
                            {QStringLiteral("file"), segment.showing.file},
                            {QStringLiteral("range"), rangeValue(segment.showing.range)},
                            {QStringLiteral("text"), schedule::describe(segment.showing)}});
        boards.append(QJsonObject{{QStringLiteral("board"), board.name},
                                  {QStringLiteral("segments"), segments}});
    }
    return QJsonObject{{QStringLiteral("zone"), QString::fromUtf8(zone.id())},
                       {QStringLiteral("from"), zoned(from, zone)},
                       {QStringLiteral("until"), zoned(until, zone)},
                       {QStringLiteral("boards"), boards}};
}

QList<ContentFile> KeeperRemote::content()
{
    return listContent(m_keeper.setup().contentFolder);
}

common::Expected<QByteArray> KeeperRemote::screenPicture(const QString &file, int index)
{
    return screenPng(m_keeper.setup().contentFolder, file, index);
}

common::Expected<QByteArray> KeeperRemote::showPicture(const QString &file)
{
    return showGif(m_keeper.setup().contentFolder, file);
}

common::Expected<QString> KeeperRemote::upload(const QString &displayFileName,
                                               const QByteArray &displayFile,
                                               const QMap<QString, QByteArray> &pictures)
{
    common::Expected<QString> stored =
        storeUpload(m_keeper.setup().contentFolder, displayFileName, displayFile, pictures);
    if (stored)
        onKeeperThread([&] {
            m_keeper.contentChanged();
            return 0;
        });
    return stored;
}

std::shared_ptr<void> KeeperRemote::subscribe(Listener listener)
{
    const std::shared_ptr<Listeners> listeners = m_listeners;
    int id = 0;
    {
        const std::lock_guard lock(listeners->mutex);
        id = ++listeners->last;
        listeners->listeners.emplace(id, std::move(listener));
    }
    // The handle's end, on whichever thread drops it, takes the listener away.
    return std::shared_ptr<int>(new int(id), [listeners](int *handle) {
        {
            const std::lock_guard lock(listeners->mutex);
            listeners->listeners.erase(*handle);
        }
        delete handle;
    });
}

void KeeperRemote::publish(const ServiceEvent &event)
{
    const std::lock_guard lock(m_listeners->mutex);
    for (const auto &[id, listener] : m_listeners->listeners)
        listener(event);
}

} // namespace pravik::service

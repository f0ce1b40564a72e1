#pragma once

#include "remote_service.h"
#include "service_setup.h"

#include <QObject>
#include <mutex>

namespace pravik::service {

class Keeper;

// The remote control's way into the running service. It lives on the
// keeper's thread and keeps a copy of what can be read (the boards, the
// jobs, the fleet and schedule), updated from the keeper's signals, so that
// reads from the server's threads never touch the keeper. Commands and
// uploads are handed to the keeper's thread and answered from there.
class KeeperRemote : public QObject, public RemoteService
{
    Q_OBJECT
public:
    explicit KeeperRemote(Keeper &keeper, QObject *parent = nullptr);
    ~KeeperRemote() override;

    QList<BoardView> boards() override;
    std::optional<BoardView> board(const QString &name) override;
    common::Expected<int> command(const Command &command) override;
    common::Expected<int> stop(const QString &board) override;
    std::optional<JobStatus> job(int id) override;
    common::Expected<QJsonObject> plan(const QDateTime &from, int hours) override;
    QList<ContentFile> content() override;
    common::Expected<QByteArray> screenPicture(const QString &file, int index) override;
    common::Expected<QByteArray> showPicture(const QString &file) override;
    common::Expected<QString> upload(const QString &displayFileName, const QByteArray &displayFile,
                                     const QMap<QString, QByteArray> &pictures) override;
    std::shared_ptr<void> subscribe(Listener listener) override;

    // Takes a fresh copy of the fleet and the schedule (after a reload).
    void filesChanged();
    // Ends the handing of commands to the keeper's thread, once its event
    // loop has ended and before the server stops: what was handed already
    // is done now, for its caller waits; what comes later is refused as the
    // service stopping. Otherwise a request that came in the last moment
    // would wait for a thread that no longer answers, and the server's stop
    // for that request.
    void close();

private:
    struct Listeners;
    void refreshBoards();
    void publish(const ServiceEvent &event);
    // Runs `work` on the keeper's thread and waits for it; nothing once
    // closed.
    template <typename Work> auto onKeeperThread(Work work);

    Keeper &m_keeper;
    std::mutex m_mutex;
    QList<BoardView> m_boards;
    std::map<int, JobStatus> m_jobs;
    ServiceFiles m_files;
    ServiceSetup m_setup;
    std::shared_ptr<Listeners> m_listeners;
    std::mutex m_handing; // held while a command is handed to the keeper's thread
    bool m_closed = false;
};

} // namespace pravik::service

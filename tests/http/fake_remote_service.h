#pragma once

// A fleet of two boards behind the RemoteService interface, answering from
// tables the tests set, recording every command and upload, and sending the
// events a test pushes to whoever listens.
#include "pravik/service/remote_service.h"

#include <QJsonArray>
#include <map>
#include <mutex>

using pravik::service::BoardView;
using pravik::service::Command;
using pravik::service::ContentFile;
using pravik::service::JobStatus;
using pravik::service::Refusal;
using pravik::service::ServiceEvent;

using pravik::service::refused;

struct Upload
{
    QString name;
    QByteArray display;
    QMap<QString, QByteArray> pictures;
};

class FakeRemoteService : public pravik::service::RemoteService
{
public:
    FakeRemoteService()
    {
        for (const char *name : {"a", "b"}) {
            BoardView board;
            board.state.board = QString::fromLatin1(name);
            board.state.health = pravik::service::Health::Ok;
            board.link = QStringLiteral("udp:127.0.0.2:1973");
            m_boards.append(board);
        }
        JobStatus job;
        job.id = 7;
        job.board = QStringLiteral("a");
        job.kind = QStringLiteral("send");
        job.what = QStringLiteral("lobby.lt, screens 0-1");
        job.state = JobStatus::State::Running;
        job.screen = 1;
        job.screens = 2;
        m_jobs[7] = job;
        ContentFile lobby;
        lobby.file = QStringLiteral("lobby.lt");
        lobby.width = 160;
        lobby.height = 32;
        lobby.type = 1;
        lobby.screens = {QJsonObject{{QStringLiteral("index"), 0},
                                     {QStringLiteral("picture"), QStringLiteral("one.bmp")}}};
        m_content.append(lobby);
    }

    QList<BoardView> boards() override
    {
        const std::lock_guard lock(m_mutex);
        return m_boards;
    }
    void changeBoard(int index, const std::function<void(BoardView &)> &change)
    {
        const std::lock_guard lock(m_mutex);
        change(m_boards[index]);
    }
    std::optional<BoardView> board(const QString &name) override
    {
        const std::lock_guard lock(m_mutex);
        for (const BoardView &board : m_boards) {
            if (board.state.board == name)
                return board;
        }
        return std::nullopt;
    }
    common::Expected<int> command(const Command &command) override
    {
        const std::lock_guard lock(m_mutex);
        if (stopping)
            return refused(Refusal::Stopping, QStringLiteral("the service is stopping"));
        if (!board(command.board))
            return refused(Refusal::UnknownBoard, QStringLiteral("no board ") + command.board);
        if (busy.contains(command.board))
            return refused(Refusal::BoardBusy, QStringLiteral("busy"));
        if (!command.file.isEmpty() && command.file != QLatin1String("lobby.lt"))
            return refused(Refusal::UnknownFile, QStringLiteral("no file ") + command.file);
        commands.append(command);
        return m_nextJob++;
    }
    common::Expected<int> stop(const QString &name) override
    {
        if (!board(name))
            return refused(Refusal::UnknownBoard, QStringLiteral("no board ") + name);
        if (!busy.contains(name))
            return refused(Refusal::NothingToStop, QStringLiteral("nothing to stop"));
        return 7;
    }
    std::optional<JobStatus> job(int id) override
    {
        const auto found = m_jobs.find(id);
        return found == m_jobs.end() ? std::nullopt : std::optional<JobStatus>(found->second);
    }
    common::Expected<QJsonObject> plan(const QDateTime &from, int hours) override
    {
        return QJsonObject{{QStringLiteral("from"), from.toString(Qt::ISODate)},
                           {QStringLiteral("hours"), hours}};
    }
    QList<ContentFile> content() override { return m_content; }
    common::Expected<QByteArray> screenPicture(const QString &file, int index) override
    {
        asked(file);
        if (file != QLatin1String("lobby.lt"))
            return refused(Refusal::UnknownFile, QStringLiteral("no file ") + file);
        if (index != 0)
            return refused(Refusal::BadRequest, QStringLiteral("no screen"));
        return QByteArray("\x89PNG screen 0");
    }
    common::Expected<QByteArray> showPicture(const QString &file) override
    {
        asked(file);
        if (file != QLatin1String("lobby.lt"))
            return refused(Refusal::UnknownFile, QStringLiteral("no file ") + file);
        return QByteArray("GIF89a show");
    }
    common::Expected<QString> upload(const QString &name, const QByteArray &display,
                                     const QMap<QString, QByteArray> &pictures) override
    {
        const std::lock_guard lock(m_mutex);
        if (uploadRefusal)
            return *uploadRefusal;
        uploads.append({name, display, pictures});
        return name;
    }
    std::shared_ptr<void> subscribe(Listener listener) override
    {
        const std::lock_guard lock(m_mutex);
        const int id = ++m_lastListener;
        m_listeners[id] = std::move(listener);
        return std::shared_ptr<void>(nullptr, [this, id](void *) {
            const std::lock_guard lock(m_mutex);
            m_listeners.erase(id);
        });
    }

    // Sends the event to every listener, as the service's thread does.
    void push(const QString &type, const QJsonObject &data)
    {
        std::map<int, Listener> listeners;
        {
            const std::lock_guard lock(m_mutex);
            listeners = m_listeners;
        }
        for (auto &[id, listener] : listeners)
            listener(ServiceEvent{type, data});
    }
    std::size_t listeners()
    {
        const std::lock_guard lock(m_mutex);
        return m_listeners.size();
    }
    QList<Command> takeCommands()
    {
        const std::lock_guard lock(m_mutex);
        return std::exchange(commands, {});
    }

    QStringList busy;
    bool stopping = false;
    QStringList filesAsked; // by the picture routes
    QList<Command> commands;
    QList<Upload> uploads;
    std::optional<common::Failure> uploadRefusal;

private:
    void asked(const QString &file)
    {
        const std::lock_guard lock(m_mutex);
        filesAsked.append(file);
    }

    std::recursive_mutex m_mutex;
    QList<BoardView> m_boards;
    std::map<int, JobStatus> m_jobs;
    QList<ContentFile> m_content;
    std::map<int, Listener> m_listeners;
    int m_nextJob = 8;
    int m_lastListener = 0;
};

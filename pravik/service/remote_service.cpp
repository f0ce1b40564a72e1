#include "remote_service.h"

#include <QJsonArray>

namespace pravik::service {
namespace {

QJsonValue timeValue(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

} // namespace

common::Failure refused(Refusal why, const QString &text)
{
    return {static_cast<int>(why), QString(), text, common::MessageIcon::Error};
}

QString commandName(Command::Kind kind)
{
    switch (kind) {
    case Command::Kind::SendChanges:
        return QStringLiteral("send");
    case Command::Kind::SendAll:
        return QStringLiteral("send-all");
    case Command::Kind::SetClock:
        return QStringLiteral("clock");
    case Command::Kind::SendRange:
        return QStringLiteral("range");
    }
    return {};
}

QString jobStateName(JobStatus::State state)
{
    switch (state) {
    case JobStatus::State::Queued:
        return QStringLiteral("queued");
    case JobStatus::State::Running:
        return QStringLiteral("running");
    case JobStatus::State::Done:
        return QStringLiteral("done");
    case JobStatus::State::Failed:
        return QStringLiteral("failed");
    case JobStatus::State::Stopped:
        return QStringLiteral("stopped");
    }
    return {};
}

QJsonObject jobToJson(const JobStatus &job)
{
    QJsonObject object{{QStringLiteral("id"), job.id},
                       {QStringLiteral("board"), job.board},
                       {QStringLiteral("kind"), job.kind},
                       {QStringLiteral("what"), job.what},
                       {QStringLiteral("state"), jobStateName(job.state)},
                       {QStringLiteral("screen"), job.screen},
                       {QStringLiteral("screens"), job.screens},
                       {QStringLiteral("started"), timeValue(job.started)},
                       {QStringLiteral("ended"), timeValue(job.ended)}};
    object.insert(QStringLiteral("failure"),
                  job.failure ? QJsonValue(QJsonObject{
                                    {QStringLiteral("code"), job.failure->code},
                                    {QStringLiteral("message"), job.failure->message},
                                    {QStringLiteral("time"), timeValue(job.failure->time)}})
                              : QJsonValue());
    return object;
}

QJsonObject boardToJson(const BoardView &board)
{
    QJsonObject object = stateToJson(board.state);
    object.remove(QStringLiteral("format"));
    object.remove(QStringLiteral("version"));
    object.insert(QStringLiteral("link"), board.link);
    object.insert(QStringLiteral("address"), board.address);
    object.insert(QStringLiteral("busy"), board.busy);
    object.insert(QStringLiteral("job"), board.job > 0 ? QJsonValue(board.job) : QJsonValue());
    return object;
}

QJsonObject contentToJson(const ContentFile &file)
{
    QJsonArray screens;
    for (const QJsonObject &screen : file.screens)
        screens.append(screen);
    return QJsonObject{{QStringLiteral("file"), file.file},
                       {QStringLiteral("width"), file.width},
                       {QStringLiteral("height"), file.height},
                       {QStringLiteral("type"), file.type},
                       {QStringLiteral("screens"), screens}};
}

} // namespace pravik::service

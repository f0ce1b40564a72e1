#include "board_state.h"

#include <QJsonObject>

namespace pravik::service {
namespace {

const QString kFormat = QStringLiteral("pravikd board state");
constexpr int kVersion = 1;

QJsonValue timeValue(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

// A time field: absent or null for none, else an ISO 8601 time with its zone.
bool readTime(const QJsonObject &object, const QString &key, QDateTime &time)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return true;
    time = QDateTime::fromString(value.toString(), Qt::ISODate);
    return time.isValid();
}

QJsonValue rangeValue(const std::optional<schedule::DisplayRange> &range)
{
    if (!range)
        return QJsonValue();
    return QJsonObject{{QStringLiteral("start"), range->start},
                       {QStringLiteral("count"), range->count}};
}

bool readRange(const QJsonValue &value, std::optional<schedule::DisplayRange> &range)
{
    if (value.isUndefined() || value.isNull())
        return true;
    const QJsonObject object = value.toObject();
    const int start = object.value(QStringLiteral("start")).toInt(-1);
    const int count = object.value(QStringLiteral("count")).toInt(-1);
    if (start < 0 || start > 255 || count < 0 || count > 255)
        return false;
    range = schedule::DisplayRange{start, count};
    return true;
}

common::Failure damaged(const QString &why)
{
    return {common::kFailedCode, QString(), QStringLiteral("damaged board state: ") + why,
            common::MessageIcon::Error};
}

} // namespace

QString healthName(Health health)
{
    switch (health) {
    case Health::Unknown:
        break;
    case Health::Ok:
        return QStringLiteral("ok");
    case Health::Failing:
        return QStringLiteral("failing");
    case Health::Offline:
        return QStringLiteral("offline");
    }
    return QStringLiteral("unknown");
}

QJsonObject stateToJson(const BoardState &state)
{
    QJsonObject object{{QStringLiteral("format"), kFormat},
                       {QStringLiteral("version"), kVersion},
                       {QStringLiteral("board"), state.board},
                       {QStringLiteral("state"), healthName(state.health)},
                       {QStringLiteral("lastContact"), timeValue(state.lastContact)},
                       {QStringLiteral("lastSuccess"), timeValue(state.lastSuccess)},
                       {QStringLiteral("failuresInARow"), state.failuresInARow},
                       {QStringLiteral("nextChange"), timeValue(state.nextChange)},
                       {QStringLiteral("nextRetry"), timeValue(state.nextRetry)},
                       {QStringLiteral("clockSet"), timeValue(state.clockSet)},
                       {QStringLiteral("clockOffset"), state.clockOffsetSeconds}};
    object.insert(
        QStringLiteral("lastFailure"),
        state.lastFailure
            ? QJsonValue(QJsonObject{{QStringLiteral("code"), state.lastFailure->code},
                                     {QStringLiteral("message"), state.lastFailure->message},
                                     {QStringLiteral("time"), timeValue(state.lastFailure->time)}})
            : QJsonValue());
    object.insert(QStringLiteral("shows"),
                  state.shown ? QJsonValue(QJsonObject{
                                    {QStringLiteral("file"), state.shown->file},
                                    {QStringLiteral("range"), rangeValue(state.shown->range)},
                                    {QStringLiteral("content"),
                                     QString::fromLatin1(state.shown->content.toHex())},
                                    {QStringLiteral("since"), timeValue(state.shown->since)}})
                              : QJsonValue());
    object.insert(QStringLiteral("override"),
                  state.override ? QJsonValue(QJsonObject{
                                       {QStringLiteral("file"), state.override->file},
                                       {QStringLiteral("range"), rangeValue(state.override->range)},
                                       {QStringLiteral("until"), timeValue(state.override->until)}})
                                 : QJsonValue());
    return object;
}

common::Expected<BoardState> stateFromJson(const QJsonObject &object)
{
    if (object.value(QStringLiteral("format")).toString() != kFormat)
        return damaged(QStringLiteral("not a board state"));
    if (object.value(QStringLiteral("version")).toInt() != kVersion)
        return damaged(QStringLiteral("version %1")
                           .arg(object.value(QStringLiteral("version")).toVariant().toString()));
    BoardState state;
    state.board = object.value(QStringLiteral("board")).toString();
    const QString health = object.value(QStringLiteral("state")).toString();
    for (const Health known : {Health::Unknown, Health::Ok, Health::Failing, Health::Offline}) {
        if (healthName(known) == health)
            state.health = known;
    }
    state.failuresInARow = object.value(QStringLiteral("failuresInARow")).toInt(-1);
    state.clockOffsetSeconds = object.value(QStringLiteral("clockOffset")).toInt();
    if (state.board.isEmpty() || state.failuresInARow < 0 || healthName(state.health) != health ||
        !readTime(object, QStringLiteral("lastContact"), state.lastContact) ||
        !readTime(object, QStringLiteral("lastSuccess"), state.lastSuccess) ||
        !readTime(object, QStringLiteral("nextChange"), state.nextChange) ||
        !readTime(object, QStringLiteral("nextRetry"), state.nextRetry) ||
        !readTime(object, QStringLiteral("clockSet"), state.clockSet))
        return damaged(QStringLiteral("a field of %1").arg(state.board));
    if (const QJsonValue failure = object.value(QStringLiteral("lastFailure"));
        failure.isObject()) {
        const QJsonObject failed = failure.toObject();
        LastFailure last{failed.value(QStringLiteral("code")).toInt(),
                         failed.value(QStringLiteral("message")).toString(),
                         {}};
        if (!readTime(failed, QStringLiteral("time"), last.time))
            return damaged(QStringLiteral("the last failure of %1").arg(state.board));
        state.lastFailure = last;
    }
    if (const QJsonValue shows = object.value(QStringLiteral("shows")); shows.isObject()) {
        const QJsonObject shown = shows.toObject();
        Shown was{shown.value(QStringLiteral("file")).toString(),
                  {},
                  QByteArray::fromHex(shown.value(QStringLiteral("content")).toString().toLatin1()),
                  {}};
        if (!readRange(shown.value(QStringLiteral("range")), was.range) ||
            !readTime(shown, QStringLiteral("since"), was.since))
            return damaged(QStringLiteral("what %1 shows").arg(state.board));
        state.shown = was;
    }
    if (const QJsonValue override = object.value(QStringLiteral("override")); override.isObject()) {
        const QJsonObject put = override.toObject();
        Override by{put.value(QStringLiteral("file")).toString(), {}, {}};
        if (!readRange(put.value(QStringLiteral("range")), by.range) ||
            !readTime(put, QStringLiteral("until"), by.until))
            return damaged(QStringLiteral("what was put on %1").arg(state.board));
        state.override = by;
    }
    return state;
}

} // namespace pravik::service

#pragma once

#include "pravik/schedule/schedule.h"

#include "common/failure.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace pravik::service {

// A board's health as the service sees it: "ok" since its last success,
// "failing" from its first failure on, "offline" after five failures in a
// row, "unknown" until the service has talked to it.
enum class Health { Unknown, Ok, Failing, Offline };

inline constexpr int kFailuresUntilOffline = 5;

QString healthName(Health health);

// What a board showed, as it acknowledged it: the display file (relative to
// the content folder), the range of its screens, the content's stamp when it
// was sent, and since when.
struct Shown
{
    QString file;
    std::optional<schedule::DisplayRange> range;
    QByteArray content; // the stamp of the file and its pictures (contentStamp)
    QDateTime since;

    friend bool operator==(const Shown &, const Shown &) = default;
};

// What an operator put on a board against the schedule: it stands until the
// schedule's next change for the board.
struct Override
{
    QString file; // empty: a range of whatever file the board holds
    std::optional<schedule::DisplayRange> range;
    QDateTime until; // invalid: until the schedule changes what it shows at all

    friend bool operator==(const Override &, const Override &) = default;
};

struct LastFailure
{
    int code = 0;
    QString message; // "title: text"
    QDateTime time;

    friend bool operator==(const LastFailure &, const LastFailure &) = default;
};

// Everything the service keeps of one board between its runs.
struct BoardState
{
    QString board; // the fleet file's name of it
    Health health = Health::Unknown;
    QDateTime lastContact; // the last time the board answered anything
    QDateTime lastSuccess;
    std::optional<LastFailure> lastFailure;
    int failuresInARow = 0;
    std::optional<Shown> shown;
    std::optional<Override> override;
    QDateTime nextChange; // the schedule's next change for the board; invalid: none
    QDateTime nextRetry;  // when a failing board is tried again; invalid: not failing
    // When its clock was last set, and the zone's offset from UTC then.
    QDateTime clockSet;
    int clockOffsetSeconds = 0;

    friend bool operator==(const BoardState &, const BoardState &) = default;
};

// The state as one JSON object of its own versioned format; times in UTC.
QJsonObject stateToJson(const BoardState &state);
common::Expected<BoardState> stateFromJson(const QJsonObject &object);

} // namespace pravik::service

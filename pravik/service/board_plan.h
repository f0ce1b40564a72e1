#pragma once

#include "board_state.h"

#include "pravik/schedule/schedule.h"

#include <QDateTime>
#include <QTimeZone>
#include <chrono>

namespace pravik::service {

// What the service does for one board now: set its clock, put content on it,
// both (the clock first), or nothing.
struct BoardWork
{
    bool setClock = false;
    bool sendContent = false;
    schedule::Showing content; // what to show, when sendContent
    QByteArray stamp;          // the content's stamp (contentStamp); empty for a range alone

    bool isEmpty() const { return !setClock && !sendContent; }
};

// What the plan goes by besides the board's state.
struct PlanInput
{
    QDateTime now;
    QTimeZone zone;
    const schedule::Schedule &schedule;
    schedule::Showing desired; // what the schedule says the board shows now
    QByteArray stamp;          // the desired file's stamp now; empty for none
};

// The work a board needs, comparing what the schedule wants with what the
// board acknowledged. The clock is due when it was never set, when the day's
// clock time has come since, when the zone's offset from UTC has changed
// (daylight saving) or when the board comes back from failing. A failing
// board waits for its retry. Content is due when the file, its range or its
// stamp differs from what the board shows.
BoardWork planFor(const BoardState &state, const PlanInput &input);

// The pause before a failing board is tried again: 15 s after the first
// failure, doubling with each one after it, at most 10 min.
std::chrono::seconds retryPause(int failuresInARow);

// The state after work ended: a success makes the board ok; a failure counts,
// waits for its retry, and after five in a row makes it offline.
void noteSuccess(BoardState &state, const QDateTime &now);
void noteFailure(BoardState &state, const common::Failure &failure, const QDateTime &now);

} // namespace pravik::service

#include "board_plan.h"

#include "pravik/fleet/board_outcome.h"
#include "pravik/schedule/timeline.h"

#include <algorithm>

namespace pravik::service {
namespace {

constexpr std::chrono::seconds kFirstRetry{15};
constexpr std::chrono::seconds kLongestRetry{600};

bool failing(const BoardState &state)
{
    return state.health == Health::Failing || state.health == Health::Offline;
}

bool clockDue(const BoardState &state, const PlanInput &input)
{
    if (!state.clockSet.isValid() || failing(state))
        return true;
    if (input.zone.offsetFromUtc(input.now) != state.clockOffsetSeconds)
        return true;
    const QDateTime due =
        schedule::nextClockTime(input.schedule, input.zone, state.clockSet.addSecs(1));
    return due.isValid() && due <= input.now;
}

bool contentDue(const BoardState &state, const PlanInput &input)
{
    if (input.desired.isNothing())
        return false;
    if (!state.shown)
        return true;
    const Shown &shown = *state.shown;
    // A range alone is of whatever file the board holds.
    if (input.desired.file.isEmpty())
        return shown.range != input.desired.range;
    return shown.file != input.desired.file || shown.range != input.desired.range ||
           shown.content != input.stamp;
}

} // namespace

BoardWork planFor(const BoardState &state, const PlanInput &input)
{
    BoardWork work;
    if (failing(state) && state.nextRetry.isValid() && state.nextRetry > input.now)
        return work;
    work.setClock = clockDue(state, input);
    work.sendContent = contentDue(state, input);
    if (work.sendContent) {
        work.content = input.desired;
        work.stamp = input.stamp;
    }
    return work;
}

std::chrono::seconds retryPause(int failuresInARow)
{
    std::chrono::seconds pause = kFirstRetry;
    for (int i = 1; i < failuresInARow && pause < kLongestRetry; ++i)
        pause *= 2;
    return std::min(pause, kLongestRetry);
}

void noteSuccess(BoardState &state, const QDateTime &now)
{
    state.health = Health::Ok;
    state.failuresInARow = 0;
    state.lastSuccess = now;
    state.lastContact = now;
    state.nextRetry = QDateTime();
}

void noteFailure(BoardState &state, const common::Failure &failure, const QDateTime &now)
{
    ++state.failuresInARow;
    state.health =
        state.failuresInARow >= kFailuresUntilOffline ? Health::Offline : Health::Failing;
    state.lastFailure = LastFailure{failure.code, fleet::messageLine(failure.message()), now};
    state.nextRetry = now.addSecs(retryPause(state.failuresInARow).count());
}

} // namespace pravik::service

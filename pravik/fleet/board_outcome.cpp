#include "board_outcome.h"

#include "pravik/document/program_texts.h"

namespace pravik::fleet {

QString messageLine(const common::Message &message)
{
    const QString title = message.title.trimmed();
    return (title.isEmpty() ? kProgramTitle : title) + QStringLiteral(": ") + message.text;
}

BoardOutcome outcomeOf(const jobs::JobResult &result)
{
    BoardOutcome outcome;
    switch (result.outcome) {
    case jobs::JobOutcome::Completed:
    case jobs::JobOutcome::Declined:
        break;
    case jobs::JobOutcome::NothingToSend:
        outcome.result = BoardOutcome::Result::Unchanged;
        break;
    case jobs::JobOutcome::Cancelled:
        outcome.result = BoardOutcome::Result::Stopped;
        outcome.code = common::kFailedCode;
        break;
    case jobs::JobOutcome::Failed:
        outcome.result = BoardOutcome::Result::Failed;
        outcome.code = result.failure ? result.failure->code : common::kFailedCode;
        break;
    }
    if (outcome.succeeded())
        return outcome;
    if (result.failure)
        outcome.notices << messageLine(result.failure->message());
    // After a failure or a stop the closing notice says what followed.
    if (result.notice)
        outcome.notices << messageLine(*result.notice);
    outcome.message = outcome.notices.value(0);
    return outcome;
}

QString resultName(BoardOutcome::Result result)
{
    switch (result) {
    case BoardOutcome::Result::Sent:
        return QStringLiteral("sent");
    case BoardOutcome::Result::Unchanged:
        return QStringLiteral("unchanged");
    case BoardOutcome::Result::Failed:
        return QStringLiteral("failed");
    case BoardOutcome::Result::Stopped:
        return QStringLiteral("stopped");
    }
    return {};
}

} // namespace pravik::fleet

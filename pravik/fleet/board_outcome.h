#pragma once

#include "pravik/jobs/job_context.h"

#include <QString>
#include <QStringList>

namespace pravik::fleet {

// How the work for one board of a fleet went.
struct BoardOutcome
{
    enum class Result { Sent, Unchanged, Failed, Stopped };
    Result result = Result::Sent;
    int code = 0;    // 0, or the failure's result code: 1, the exchange's 3, 4 or 5
    QString message; // what stopped it, "title: text"
    int screens = 0; // screens delivered whole
    double seconds = 0;
    // Everything the board had to tell, in order ("title: text" each): what
    // its record said, then for a board that failed or stopped its message
    // and what followed it.
    QStringList notices;

    bool succeeded() const { return result == Result::Sent || result == Result::Unchanged; }
};

// "title: text", with the program's name for a message without a title.
QString messageLine(const common::Message &message);

// The outcome of a board's job: sent, unchanged, failed with the failure's
// code and message, or stopped by the operator.
BoardOutcome outcomeOf(const jobs::JobResult &result);

// "sent", "unchanged", "failed", "stopped".
QString resultName(BoardOutcome::Result result);

} // namespace pravik::fleet

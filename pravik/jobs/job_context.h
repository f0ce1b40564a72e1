#pragma once

#include "stop_token.h"

#include "pravik/picture/rasterise.h"

#include "common/failure.h"

#include <QString>
#include <functional>
#include <optional>

namespace pravik::document {
struct BoardSettings;
class ScreenList;
struct Vocabulary;
} // namespace pravik::document

namespace pravik::picture {
class BoardCanvas;
}

namespace pravik::jobs {

class BoardLedger;
class JobView;

// What the transmission jobs read and use. The jobs change none of the
// values; they draw on the canvas and talk through the exchange.
struct JobContext
{
    const document::BoardSettings &settings;
    const document::ScreenList &screens;
    const document::Vocabulary &vocabulary;
    const QString &displayFileName; // empty when no display file is loaded
    const QString &compareFileName; // empty when none is set
    picture::BoardCanvas &canvas;
    picture::PacketExchange exchange;
    std::function<bool()> serialPortOpen;
    // The questions a job asks (whether to start the display), and what the
    // board's record has to tell on the way.
    common::Prompter &prompter;
    JobView &view;
    const StopToken &stop;
    // The board's record: what the job learns of the board, and with only
    // changes to send, what it leaves out. None: nothing is recorded.
    BoardLedger *ledger = nullptr;
};

// How a job ended.
enum class JobOutcome {
    Completed, // everything was sent (and acknowledged)
    Declined,  // the screens went out; the operator did not start the display
    NothingToSend,
    Failed,    // a failure ended the job; the result carries it
    Cancelled, // the operator stopped the job between two frames
};

struct JobResult
{
    JobOutcome outcome = JobOutcome::Completed;
    // What ended a failed job: the exchange's failure (code 3, 4 or 5) or
    // another problem (code 1), with the message for the operator.
    common::Status failure;
    // How many screens the board acknowledged in full (picture and properties).
    int screensSent = 0;
    // What the operator learns last ("发送成功", how far a stopped job got):
    // the front end shows it after the failure, once the transfer has ended.
    std::optional<common::Message> notice;
};

// Shows how the job ended, as the window does once its transfer is over:
// the failure, then the closing notice.
void tellEnding(common::Prompter &prompter, const JobResult &result);

} // namespace pravik::jobs

#pragma once

#include "stop_token.h"

#include "pravik/picture/rasterise.h"

#include "common/prompter.h"

#include <QString>
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
    Stopped,   // a failure ended the job; it was reported where it arose
    Cancelled, // the operator stopped the job between two frames
};

struct JobResult
{
    JobOutcome outcome = JobOutcome::Completed;
    // The exchange that failed, when that was what stopped the job.
    link::ExchangeResult failedExchange = link::ExchangeResult::Ok;
    // How many screens the board acknowledged in full (picture and properties).
    int screensSent = 0;
    // What the operator learns once the transfer is over ("发送成功", or how far
    // a stopped job got): the front end shows it after the window has left
    // its transfer mode.
    std::optional<common::Message> notice;
};

// Shows the job's closing notice, if it has one.
void tellNotice(common::Prompter &prompter, const JobResult &result);

} // namespace pravik::jobs

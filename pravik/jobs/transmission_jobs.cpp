#include "transmission_jobs.h"

#include "board_ledger.h"
#include "compare_file.h"
#include "job_messages.h"
#include "job_view.h"
#include "screen_digests.h"
#include "screen_transfer.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"
#include "pravik/link/board_commands.h"
#include "pravik/picture/screen_properties.h"

#include "common/numbers.h"
#include "common/prompter.h"

namespace pravik::jobs {

using document::kMaxScreens;
using document::PictureColumn;

void tellNotice(common::Prompter &prompter, const JobResult &result)
{
    if (result.notice)
        prompter.show(*result.notice);
}

QString startDisplayQuestion(int screens)
{
    return QStringLiteral("    开始显示从0幕开始,") + common::signPosition(screens) +
           QStringLiteral("幕画面  ");
}

namespace {

bool noDisplayFile(JobContext &context)
{
    if (!context.displayFileName.isEmpty())
        return false;
    context.prompter.tell(kNoDisplayFileText, kNoDisplayFileTitle, common::MessageIcon::Error);
    return true;
}

// The rows that hold screens: up to the first empty picture, and never past
// the last of the 239 screen rows, so a full list ends like any other.
int lastScreenRow(const document::ScreenList &screens, int from)
{
    int row = from;
    while (row <= kMaxScreens && row < screens.rowCount() &&
           !screens.text(row, PictureColumn).isEmpty())
        ++row;
    return row - 1;
}

JobResult resultOf(JobOutcome outcome, int screensSent = 0,
                   link::ExchangeResult failedExchange = link::ExchangeResult::Ok)
{
    JobResult result;
    result.outcome = outcome;
    result.screensSent = screensSent;
    result.failedExchange = failedExchange;
    return result;
}

JobResult stopped(link::ExchangeResult failedExchange = link::ExchangeResult::Ok,
                  int screensSent = 0)
{
    return resultOf(JobOutcome::Stopped, screensSent, failedExchange);
}

// However a job ends, the preview goes and the window is back at the size
// the operator gave it: none of its endings leaves it enlarged.
JobResult ended(JobContext &context, JobResult result)
{
    context.view.endTransfer(true);
    return result;
}

std::optional<common::Message> sentNotice()
{
    return common::Message{kSentText, kProgramTitle, common::MessageIcon::None};
}

// After a stop the operator learns how far the board got, unless the program
// is closing; a failure of the frame on the wire does not keep that back.
JobResult withStopNotice(const JobContext &context, JobResult result)
{
    if (context.stop.stopRequested() && !context.stop.quiet())
        result.notice = common::Message{stoppedText(result.screensSent), kProgramTitle,
                                        common::MessageIcon::Information};
    return result;
}

// The operator stopped the job between two frames.
JobResult cancelled(JobContext &context, int screensSent)
{
    ended(context, {});
    return withStopNotice(context, resultOf(JobOutcome::Cancelled, screensSent));
}

// Asks whether to start the display of the screens sent, and sends the
// display command on yes.
JobResult startDisplay(JobContext &context, int screens)
{
    const common::Message question{startDisplayQuestion(screens), kStartDisplayTitle,
                                   common::MessageIcon::None, common::MessageButtons::YesNo};
    if (context.prompter.show(question) != common::MessageAnswer::Yes)
        return resultOf(JobOutcome::Declined);

    QByteArray buffer = link::displayRangePayload(0, screens);
    // Nothing can go out on a serial line whose port is closed.
    std::optional<link::ExchangeResult> result;
    if (context.settings.isEthernet() || context.serialPortOpen()) {
        if (context.ledger)
            context.ledger->displaySending();
        result = context.exchange(buffer, link::kCommandChecksumIndex);
    }
    if (result == link::ExchangeResult::Ok) {
        if (context.ledger)
            context.ledger->displayAcknowledged(screens);
        JobResult sent;
        sent.notice = sentNotice();
        return sent;
    }
    context.prompter.tell(kSetUpPortText, kProgramTitle, common::MessageIcon::None);
    return stopped(result.value_or(link::ExchangeResult::LinkFailed));
}

// A board that holds every screen and shows them all already: an only
// changes send has nothing to do, not even the display command.
bool boardUpToDate(JobContext &context, int screens)
{
    return context.ledger && context.ledger->onlyChanges() && !context.ledger->anythingSent() &&
           context.ledger->displayCurrent(screens);
}

} // namespace

JobResult sendAll(JobContext &context)
{
    const LedgerFinisher recorded(context.ledger);
    if (noDisplayFile(context))
        return stopped();
    if (context.screens.rowCount() < 2 || context.screens.text(1, PictureColumn).isEmpty())
        return resultOf(JobOutcome::NothingToSend);

    context.view.beginTransfer(context.settings.scrhigh);
    if (!context.compareFileName.isEmpty()) {
        const CompareResult checked = checkCompareFile(context.compareFileName, context.prompter);
        return ended(context, checked == CompareResult::Passed ? resultOf(JobOutcome::NothingToSend)
                                                               : stopped());
    }

    const int lastRow = lastScreenRow(context.screens, 1);
    for (int row = 1; row <= lastRow; ++row) {
        if (context.stop.stopRequested())
            return cancelled(context, row - 1);
        if (!drawScreenSource(context, row, kMissingSourceText))
            return ended(context, stopped(link::ExchangeResult::Ok, row - 1));
        // Whatever the record says, Send All overwrites every screen.
        if (row == 1 && context.ledger && !context.ledger->onlyChanges())
            context.ledger->sendingEverything();
        JobResult sent = transferScreen(context, row, sendAllCaption(context.settings, row));
        if (sent.outcome == JobOutcome::Cancelled)
            return cancelled(context, row - 1);
        if (sent.outcome == JobOutcome::Stopped) {
            sent.screensSent = row - 1;
            return withStopNotice(context, ended(context, sent));
        }
    }
    // A stop during the last frame still keeps the display question away.
    if (context.stop.stopRequested())
        return cancelled(context, lastRow);
    ended(context, {});
    if (boardUpToDate(context, lastRow))
        return resultOf(JobOutcome::NothingToSend, lastRow);
    JobResult result = startDisplay(context, lastRow);
    result.screensSent = lastRow;
    return result;
}

JobResult sendSpecifiedPicture(JobContext &context, int row)
{
    const LedgerFinisher recorded(context.ledger);
    context.view.beginTransfer(context.settings.scrhigh);
    if (context.screens.text(row, PictureColumn).isEmpty())
        return ended(context, resultOf(JobOutcome::NothingToSend));
    if (!drawScreenSource(context, row, kMissingPictureText))
        return ended(context, stopped());
    JobResult sent = transferScreen(context, row, oneScreenCaption(context.settings, row));
    if (sent.outcome == JobOutcome::Cancelled)
        return cancelled(context, 0);
    sent.screensSent = sent.outcome == JobOutcome::Stopped ? 0 : 1;
    return withStopNotice(context, ended(context, sent));
}

JobResult sendAllProperties(JobContext &context)
{
    const LedgerFinisher recorded(context.ledger);
    if (noDisplayFile(context))
        return stopped();
    const int lastRow = lastScreenRow(context.screens, 1);
    for (int row = 1; row <= lastRow; ++row) {
        // Each screen's properties are one frame: a stop takes effect between them.
        if (context.stop.stopRequested())
            return cancelled(context, row - 1);
        // The picture must still exist, although only its properties go out.
        if (!requirePictureFile(context, row, kMissingPictureText))
            return ended(context, stopped(link::ExchangeResult::Ok, row - 1));
        const auto screen = static_cast<std::uint8_t>(row - 1);
        if (context.ledger)
            context.ledger->sending(screen, ScreenPart::Properties);
        const auto sent = picture::sendScreenProperties(
            context.exchange, context.prompter, context.screens, context.vocabulary, screen);
        if (sent == link::ExchangeResult::Ok && context.ledger)
            context.ledger->acknowledged(
                screen, ScreenPart::Properties,
                propertiesDigest(context.screens, context.vocabulary, screen));
        if (sent != link::ExchangeResult::Ok)
            return withStopNotice(context,
                                  stopped(sent.value_or(link::ExchangeResult::Ok), row - 1));
    }
    JobResult sent = resultOf(JobOutcome::Completed, lastRow);
    sent.notice = sentNotice();
    return sent;
}

} // namespace pravik::jobs

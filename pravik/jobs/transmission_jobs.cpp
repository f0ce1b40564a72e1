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
#include "pravik/link/exchange.h"
#include "pravik/picture/screen_properties.h"
#include "pravik/picture/screen_source.h"

#include "common/numbers.h"
#include "common/prompter.h"

namespace pravik::jobs {

using document::kMaxScreens;
using document::PictureColumn;

void tellEnding(common::Prompter &prompter, const JobResult &result)
{
    if (result.failure)
        common::tell(prompter, *result.failure);
    if (result.notice)
        prompter.show(*result.notice);
}

QString startDisplayQuestion(int screens)
{
    return QStringLiteral("    开始显示从0幕开始,") + common::signPosition(screens) +
           QStringLiteral("幕画面  ");
}

namespace {

common::Status noDisplayFile(const JobContext &context)
{
    if (!context.displayFileName.isEmpty())
        return {};
    return common::Failure{common::kFailedCode, kNoDisplayFileTitle, kNoDisplayFileText,
                           common::MessageIcon::Error};
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

JobResult resultOf(JobOutcome outcome, int screensSent = 0)
{
    JobResult result;
    result.outcome = outcome;
    result.screensSent = screensSent;
    return result;
}

JobResult failed(common::Status failure, int screensSent = 0)
{
    JobResult result = resultOf(JobOutcome::Failed, screensSent);
    result.failure = std::move(failure);
    return result;
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

    const common::Message setUpPort{kSetUpPortText, kProgramTitle, common::MessageIcon::None};
    // Nothing can go out on a serial line whose port is closed.
    if (!context.settings.isEthernet() && !context.serialPortOpen())
        return failed(common::Failure{static_cast<int>(link::ExchangeResult::LinkFailed),
                                      setUpPort.title, setUpPort.text, setUpPort.icon});
    QByteArray buffer = link::displayRangePayload(0, screens);
    if (context.ledger)
        context.ledger->displaySending();
    if (common::Status failure = context.exchange(buffer, link::kCommandChecksumIndex)) {
        JobResult result = failed(std::move(failure));
        result.notice = setUpPort;
        return result;
    }
    if (context.ledger)
        context.ledger->displayAcknowledged(0, screens);
    JobResult sent;
    sent.notice = sentNotice();
    return sent;
}

// A board that holds every screen and shows them all already: an only
// changes send has nothing to do, not even the display command.
bool boardUpToDate(JobContext &context, int screens)
{
    return context.ledger && context.ledger->onlyChanges() && !context.ledger->anythingSent() &&
           context.ledger->displayCurrent(0, screens);
}

} // namespace

JobResult sendAll(JobContext &context)
{
    const LedgerFinisher recorded(context.ledger);
    if (common::Status failure = noDisplayFile(context))
        return failed(std::move(failure));
    if (context.screens.rowCount() < 2 || context.screens.text(1, PictureColumn).isEmpty())
        return resultOf(JobOutcome::NothingToSend);

    context.view.beginTransfer(context.settings.scrhigh);
    if (!context.compareFileName.isEmpty()) {
        common::Status checked = checkCompareFile(context.compareFileName);
        return ended(context,
                     checked ? failed(std::move(checked)) : resultOf(JobOutcome::NothingToSend));
    }

    const int lastRow = lastScreenRow(context.screens, 1);
    for (int row = 1; row <= lastRow; ++row) {
        if (context.stop.stopRequested())
            return cancelled(context, row - 1);
        if (common::Status failure =
                picture::drawScreenSource(context.screens, row, context.displayFileName,
                                          context.canvas, picture::kMissingSourceText))
            return ended(context, failed(std::move(failure), row - 1));
        // Whatever the record says, Send All overwrites every screen.
        if (row == 1 && context.ledger && !context.ledger->onlyChanges())
            context.ledger->sendingEverything();
        JobResult sent = transferScreen(context, row, sendAllCaption(context.settings, row));
        if (sent.outcome == JobOutcome::Cancelled)
            return cancelled(context, row - 1);
        if (sent.outcome == JobOutcome::Failed) {
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
    if (common::Status failure =
            picture::drawScreenSource(context.screens, row, context.displayFileName, context.canvas,
                                      picture::kMissingPictureText))
        return ended(context, failed(std::move(failure)));
    JobResult sent = transferScreen(context, row, oneScreenCaption(context.settings, row));
    if (sent.outcome == JobOutcome::Cancelled)
        return cancelled(context, 0);
    sent.screensSent = sent.outcome == JobOutcome::Failed ? 0 : 1;
    return withStopNotice(context, ended(context, sent));
}

JobResult sendAllProperties(JobContext &context)
{
    const LedgerFinisher recorded(context.ledger);
    if (common::Status failure = noDisplayFile(context))
        return failed(std::move(failure));
    const int lastRow = lastScreenRow(context.screens, 1);
    for (int row = 1; row <= lastRow; ++row) {
        // Each screen's properties are one frame: a stop takes effect between them.
        if (context.stop.stopRequested())
            return cancelled(context, row - 1);
        // The picture must still exist, although only its properties go out.
        if (common::Status failure = picture::requirePictureFile(
                context.screens, row, context.displayFileName, picture::kMissingPictureText))
            return ended(context, failed(std::move(failure), row - 1));
        const auto screen = static_cast<std::uint8_t>(row - 1);
        if (context.ledger)
            context.ledger->sending(screen, ScreenPart::Properties);
        common::Status failure = picture::sendScreenProperties(context.exchange, context.screens,
                                                               context.vocabulary, screen);
        if (failure)
            return withStopNotice(context, failed(std::move(failure), row - 1));
        if (context.ledger)
            context.ledger->acknowledged(
                screen, ScreenPart::Properties,
                propertiesDigest(context.screens, context.vocabulary, screen));
    }
    JobResult sent = resultOf(JobOutcome::Completed, lastRow);
    sent.notice = sentNotice();
    return sent;
}

JobResult sendDisplayRange(JobContext &context, int start, int count)
{
    const LedgerFinisher recorded(context.ledger);
    if (context.ledger && context.ledger->displayCurrent(start, count))
        return resultOf(JobOutcome::NothingToSend);
    if (!context.settings.isEthernet() && !context.serialPortOpen())
        return failed(common::Failure{static_cast<int>(link::ExchangeResult::LinkFailed),
                                      kProgramTitle, kSetUpPortText, common::MessageIcon::Error});
    if (context.stop.stopRequested())
        return withStopNotice(context, resultOf(JobOutcome::Cancelled));
    QByteArray buffer = link::displayRangePayload(start % 256, count % 256);
    if (context.ledger)
        context.ledger->displaySending();
    if (common::Status failure = context.exchange(buffer, link::kCommandChecksumIndex))
        return failed(std::move(failure));
    if (context.ledger)
        context.ledger->displayAcknowledged(start, count);
    return resultOf(JobOutcome::Completed);
}

} // namespace pravik::jobs

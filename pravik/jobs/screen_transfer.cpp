#include "screen_transfer.h"

#include "board_ledger.h"
#include "job_messages.h"
#include "job_view.h"
#include "screen_digests.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/program_texts.h"
#include "pravik/document/screen_list.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/picture_source.h"
#include "pravik/picture/screen_properties.h"

#include "common/numbers.h"
#include "common/prompter.h"

namespace pravik::jobs {

using common::signPosition;

namespace {

QString picturePath(const JobContext &context, int row)
{
    return picture::resolveSourcePath(context.screens.text(row, document::PictureColumn),
                                      context.displayFileName);
}

} // namespace

bool requirePictureFile(JobContext &context, int row, const QString &missingText)
{
    if (picture::isExistingPictureFile(picturePath(context, row)))
        return true;
    context.prompter.tell(missingText + context.screens.text(row, document::PictureColumn),
                          kProgramTitle, common::MessageIcon::Error);
    return false;
}

bool drawScreenSource(JobContext &context, int row, const QString &missingText)
{
    if (!requirePictureFile(context, row, missingText))
        return false;
    const QString source = context.screens.text(row, document::PictureColumn);
    const picture::SourceResult drawn =
        picture::loadSource(picturePath(context, row), context.canvas);
    switch (drawn.status) {
    case picture::SourceResult::Status::Drawn:
        return true;
    case picture::SourceResult::Status::Missing:
        // Gone between the look and the load: told like any missing file.
        context.prompter.tell(missingText + source, kProgramTitle, common::MessageIcon::Error);
        return false;
    case picture::SourceResult::Status::Unreadable:
        context.prompter.tell(QStringLiteral("%1: %2").arg(source, drawn.reason), kSystemErrorTitle,
                              common::MessageIcon::Question);
        return false;
    }
    return false;
}

QString sendAllCaption(const document::BoardSettings &settings, int row)
{
    if (settings.isEthernet())
        return QStringLiteral("IP: ") + settings.ipAddress + QStringLiteral("  第") +
               signPosition(row) + QStringLiteral(" 幕");
    return QStringLiteral("地址: ") + signPosition(settings.busAddress()) + QStringLiteral("   COM") +
           signPosition(settings.port) + QStringLiteral("   第 ") + signPosition(row) +
           QStringLiteral(" 幕");
}

QString oneScreenCaption(const document::BoardSettings &settings, int row)
{
    if (settings.isEthernet())
        return QStringLiteral("屏幕IP: ") + signPosition(settings.busAddress()) +
               QStringLiteral("  第") + signPosition(row) + QStringLiteral(" 幕");
    return sendAllCaption(settings, row);
}

JobResult transferScreen(JobContext &context, int row, const QString &caption)
{
    const auto screenIndex = static_cast<std::uint8_t>(row - 1);
    BoardLedger *const ledger = context.ledger;
    QByteArray pictureDigest;
    QByteArray propertiesDigest;
    if (ledger) {
        pictureDigest = jobs::pictureDigest(context.canvas, context.settings.scrtype, screenIndex);
        propertiesDigest = jobs::propertiesDigest(context.screens, context.vocabulary, screenIndex);
    }
    const bool pictureGoesOut =
        !ledger || !ledger->leavesOut(screenIndex, ScreenPart::Picture, pictureDigest);
    const bool propertiesGoOut =
        !ledger || !ledger->leavesOut(screenIndex, ScreenPart::Properties, propertiesDigest);
    JobResult result;
    if (!pictureGoesOut && !propertiesGoOut)
        return result;

    context.view.showScreen(row, caption, context.canvas);
    const picture::PacketExchange exchange = [&](QByteArray &buffer, int checksumIndex) {
        // A stop takes effect before the next frame goes out; the refusal
        // ends the picture like a failed exchange, with nothing to tell.
        if (context.stop.stopRequested()) {
            result.outcome = JobOutcome::Cancelled;
            return link::ExchangeResult::LinkFailed;
        }
        const link::ExchangeResult exchanged = context.exchange(buffer, checksumIndex);
        if (exchanged != link::ExchangeResult::Ok)
            result.failedExchange = exchanged;
        return exchanged;
    };
    const auto sendPicture = [&] {
        return picture::rasterisePicture(context.canvas, context.settings.scrtype, screenIndex,
                                         exchange, context.prompter,
                                         [&](int y) { context.view.setProgress(y); }) ==
               picture::RasteriseResult::Ok;
    };
    const auto sendProperties = [&] {
        return picture::sendScreenProperties(exchange, context.prompter, context.screens,
                                             context.vocabulary,
                                             screenIndex) == link::ExchangeResult::Ok;
    };
    const auto recorded = [&](ScreenPart part, const QByteArray &digest, auto send) {
        if (ledger)
            ledger->sending(screenIndex, part);
        const bool sent = send();
        if (sent && ledger)
            ledger->acknowledged(screenIndex, part, digest);
        return sent;
    };
    const bool sent =
        (!pictureGoesOut || recorded(ScreenPart::Picture, pictureDigest, sendPicture)) &&
        (!propertiesGoOut || recorded(ScreenPart::Properties, propertiesDigest, sendProperties));
    if (!sent && result.outcome != JobOutcome::Cancelled)
        result.outcome = JobOutcome::Stopped;
    return result;
}

} // namespace pravik::jobs

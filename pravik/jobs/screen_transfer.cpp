#include "screen_transfer.h"

#include "board_ledger.h"
#include "job_view.h"
#include "screen_digests.h"

#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/screen_properties.h"

#include "common/numbers.h"

namespace pravik::jobs {

using common::signPosition;

QString sendAllCaption(const document::BoardSettings &settings, int row)
{
    if (settings.isEthernet())
        return QStringLiteral("IP: ") + settings.ipAddress + QStringLiteral("  第") +
               signPosition(row) + QStringLiteral(" 幕");
    return QStringLiteral("地址: ") + signPosition(settings.busAddress()) +
           QStringLiteral("   COM") + signPosition(settings.port) + QStringLiteral("   第 ") +
           signPosition(row) + QStringLiteral(" 幕");
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
        pictureGoesOut || !ledger->leavesOut(screenIndex, ScreenPart::Properties, propertiesDigest);
    JobResult result;
    if (!pictureGoesOut && !propertiesGoOut)
        return result;

    context.view.showScreen(row, caption, context.canvas);
    bool cancelled = false;
    const picture::PacketExchange exchange = [&](QByteArray &buffer, int checksumIndex) {
        // A stop takes effect before the next frame goes out; the refusal
        // ends the picture like a failed exchange.
        if (context.stop.stopRequested()) {
            cancelled = true;
            return common::Status(common::Failure{});
        }
        return context.exchange(buffer, checksumIndex);
    };
    const auto sendPicture = [&]() -> common::Status {
        return picture::rasterisePicture(context.canvas, context.settings.scrtype, screenIndex,
                                         exchange, [&](int y) { context.view.setProgress(y); })
            .failure;
    };
    const auto sendProperties = [&] {
        return picture::sendScreenProperties(exchange, context.screens, context.vocabulary,
                                             screenIndex);
    };
    const auto recorded = [&](ScreenPart part, const QByteArray &digest, auto send) {
        if (ledger)
            ledger->sending(screenIndex, part);
        common::Status failed = send();
        if (!failed && ledger)
            ledger->acknowledged(screenIndex, part, digest);
        return failed;
    };
    common::Status failed;
    if (pictureGoesOut)
        failed = recorded(ScreenPart::Picture, pictureDigest, sendPicture);
    if (!failed && propertiesGoOut)
        failed = recorded(ScreenPart::Properties, propertiesDigest, sendProperties);
    if (cancelled) {
        result.outcome = JobOutcome::Cancelled;
    } else if (failed) {
        result.outcome = JobOutcome::Failed;
        result.failure = std::move(failed);
    }
    return result;
}

} // namespace pravik::jobs

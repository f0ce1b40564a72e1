#include "board_work.h"

#include "content.h"

#include "pravik/document/display_file.h"
#include "pravik/jobs/job_runner.h"
#include "pravik/jobs/job_view.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/link/board_session.h"
#include "pravik/link/clock.h"
#include "pravik/link/direct_commands.h"

#include "common/recording_prompter.h"

#include <chrono>

namespace pravik::service {
namespace {

// The service's time as the board's clock is set from it: the time the work
// was given, moved on by what has passed since, in the service's zone. The
// waits for the board's echo keep the computer's steady clock.
class ServiceTimeClock : public link::Clock
{
public:
    ServiceTimeClock(const QDateTime &given, const QTimeZone &zone) : m_given(given), m_zone(zone)
    {
        m_sinceGiven.start();
    }
    QDateTime currentDateTime() const override
    {
        return m_given.addMSecs(m_sinceGiven.elapsed()).toTimeZone(m_zone);
    }
    std::int64_t monotonicMsecs() const override { return m_steady.monotonicMsecs(); }

private:
    QDateTime m_given;
    QTimeZone m_zone;
    QElapsedTimer m_sinceGiven;
    link::SystemClock m_steady;
};

class ProgressView : public jobs::JobView
{
public:
    ProgressView(const WorkProgress &progress, int screens)
        : m_progress(progress), m_screens(screens)
    {
    }
    void beginTransfer(int) override {}
    void showScreen(int row, const QString &, const picture::BoardCanvas &) override
    {
        if (m_progress)
            m_progress(row - 1, m_screens);
    }
    void setProgress(int) override {}
    void endTransfer(bool) override {}

private:
    const WorkProgress &m_progress;
    const int m_screens;
};

common::Failure contentFailure(const QString &text)
{
    return {common::kFailedCode, QString(), text, common::MessageIcon::Error};
}

// The content job: the file's changes with its display command, or without
// it and then the range; a range alone with nothing else.
jobs::Job contentJob(const schedule::Showing &content)
{
    return [content](jobs::JobContext &context) {
        if (!content.file.isEmpty()) {
            jobs::JobResult sent = jobs::sendAll(context);
            if (sent.outcome == jobs::JobOutcome::Failed ||
                sent.outcome == jobs::JobOutcome::Cancelled || !content.range)
                return sent;
        }
        return jobs::sendDisplayRange(context, content.range->start, content.range->count);
    };
}

} // namespace

WorkDone doWork(const WorkOrder &order, fleet::FleetLink &link, const jobs::StopToken &stop,
                const WorkProgress &progress)
{
    WorkDone done;
    const BoardWork &work = order.work;
    document::BoardSettings fileSettings;
    document::ScreenList screens;
    QString displayFile;
    if (work.sendContent && !work.content.file.isEmpty()) {
        const common::Expected<QString> path = contentPath(order.contentFolder, work.content.file);
        if (!path) {
            done.failure = contentFailure(path.failure().text);
            return done;
        }
        displayFile = *path;
        common::RecordingPrompter told;
        if (document::loadDisplayFile(displayFile, fileSettings, screens, told) !=
            document::LoadResult::Loaded) {
            done.failure =
                contentFailure(work.content.file + QStringLiteral(": ") + told.texts().value(0));
            return done;
        }
    }
    const fleet::BoardOnLink onLink = fleet::boardOnLink(order.board, fileSettings);
    ServiceTimeClock clock(order.given, order.zone);
    link::BoardSession session(onLink.settings, onLink.serialDevice, link.line, link.sockets,
                               &clock);
    if (const QList<common::Failure> failures = session.open(); !failures.isEmpty()) {
        done.failure = failures.first();
        return done;
    }
    if (work.setClock) {
        if (stop.stopRequested()) {
            done.stopped = true;
            return done;
        }
        const link::CommandResult set = link::sendClockFromComputer(session.link());
        if (!set) {
            done.failure = set.failure();
            return done;
        }
        done.clockSet = done.contacted = true;
    }
    if (!work.sendContent)
        return done;

    // The board shows all of the file's screens when no range is asked for.
    common::RecordingPrompter answers([&work](const common::Message &message) {
        if (message.buttons == common::MessageButtons::YesNo)
            return work.content.range ? common::MessageAnswer::No : common::MessageAnswer::Yes;
        return common::RecordingPrompter::accept(message);
    });
    ProgressView view(progress, screens.screenCount());
    jobs::JobInput input{screens, displayFile, {}, !order.everything};
    input.recordFolder = order.recordFolder;
    input.useRecord = !work.content.file.isEmpty();
    const jobs::JobReport report =
        jobs::runJob(session, input, contentJob(work.content), view, answers, stop);
    switch (report.result.outcome) {
    case jobs::JobOutcome::Failed:
        done.failure = report.result.failure;
        break;
    case jobs::JobOutcome::Cancelled:
        done.stopped = true;
        break;
    case jobs::JobOutcome::NothingToSend:
        done.contentSent = true; // the board's record says it holds it all
        break;
    default:
        done.contentSent = done.contacted = true;
        break;
    }
    return done;
}

} // namespace pravik::service

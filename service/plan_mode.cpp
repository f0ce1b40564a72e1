#include "local_time.h"
#include "modes.h"
#include "service_config.h"
#include "system_service_clock.h"

#include "pravik/schedule/describe.h"
#include "pravik/schedule/timeline.h"

namespace pravikd {
namespace {

// --from: ISO 8601, in the zone unless it carries its own offset.
QDateTime planStart(const QString &text, const QTimeZone &zone)
{
    const QDateTime written = QDateTime::fromString(text, Qt::ISODate);
    if (!written.isValid() || written.timeSpec() != Qt::LocalTime)
        return written;
    return QDateTime(written.date(), written.time(), zone);
}

} // namespace

int runPlan(const CommandLine &line, Output &output)
{
    const std::optional<ServiceConfig> config = readConfig(line, output);
    if (!config)
        return kExitProblems;
    const QTimeZone &zone = config->setup.zone;
    QDateTime from;
    if (line.from.isEmpty()) {
        const common::Expected<QDateTime> testStart = testClockStart();
        if (!testStart)
            return sayProblem(output, testStart.failure().text);
        from = SystemServiceClock(*testStart).now();
    } else {
        from = planStart(line.from, zone);
        if (!from.isValid())
            return sayProblem(output,
                              QStringLiteral("--from is a time such as 2026-10-25T01:30, not '%1'")
                                  .arg(line.from));
    }
    // The plan reads in whole minutes, as the schedule is written.
    from = from.toUTC();
    from.setTime(QTime(from.time().hour(), from.time().minute()));
    const QDateTime until = from.addSecs(qint64(line.hours) * 3600);

    const common::Expected<pravik::service::ServiceFiles> files =
        pravik::service::readServiceFiles(config->setup);
    if (!files)
        return sayProblem(output, files.failure().text);
    QTextStream &out = output.out;
    out << "times in " << zone.id() << '\n';
    for (const pravik::fleet::FleetBoard &board : files->boards) {
        out << '\n' << board.name << ":\n";
        for (const pravik::schedule::Segment &segment :
             pravik::schedule::timeline(files->schedule, board.name, zone, from, until))
            out << "  " << localTimeText(segment.from, zone) << QStringLiteral(" \u2013 ")
                << localTimeText(segment.until, zone) << "  "
                << pravik::schedule::describe(segment.showing) << '\n';
    }
    return kExitOk;
}

} // namespace pravikd

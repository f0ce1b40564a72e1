#include "modes.h"
#include "service_config.h"

#include "pravik/fleet/fleet_file.h"
#include "pravik/schedule/describe.h"
#include "pravik/schedule/schedule_file.h"
#include "pravik/service/content.h"

#include <QFileInfo>
#include <algorithm>

namespace pravikd {
namespace {

using pravik::fleet::FleetBoard;

void printBoards(const QList<FleetBoard> &boards, QTextStream &out)
{
    qsizetype nameWidth = 0;
    qsizetype linkWidth = 0;
    for (const FleetBoard &board : boards) {
        nameWidth = std::max(nameWidth, board.name.size());
        linkWidth = std::max(linkWidth, board.link.size());
    }
    out << (boards.isEmpty() ? "boards: none\n" : "boards:\n");
    for (const FleetBoard &board : boards)
        out << "  " << board.name.leftJustified(nameWidth) << "  "
            << board.link.leftJustified(linkWidth) << "  " << board.busAddress << '\n';
}

} // namespace

// Everything the service would refuse or fail on, found before it runs: each
// file is checked even when another is wrong, so that one run names every
// problem.
int runCheck(const CommandLine &line, Output &output)
{
    const std::optional<ServiceConfig> config = readConfig(line, output);
    if (!config)
        return kExitProblems;
    const pravik::service::ServiceSetup &setup = config->setup;
    QStringList problems;
    QTextStream &out = output.out;
    out << "configuration " << line.configFile << '\n'
        << "  zone " << setup.zone.id() << '\n'
        << "  fleet " << setup.fleetFile << '\n'
        << "  schedule " << setup.scheduleFile << '\n'
        << "  content " << setup.contentFolder << '\n'
        << "  state " << setup.stateFolder << '\n'
        << "  records " << setup.recordFolder << '\n';

    const common::Expected<QList<FleetBoard>> boards =
        pravik::fleet::readFleetFile(setup.fleetFile, pravik::fleet::EmptyFleet::Allowed);
    if (boards)
        printBoards(*boards, out);
    else
        problems << boards.failure().text;

    const common::Expected<pravik::schedule::Schedule> schedule =
        pravik::schedule::readScheduleFile(setup.scheduleFile);
    if (schedule) {
        out << "rules (clocks set at " << schedule->clockTime.toString(QStringLiteral("HH:mm"))
            << "):\n";
        for (const pravik::schedule::Rule &rule : schedule->rules)
            out << "  " << pravik::schedule::describe(rule) << '\n';
    } else {
        problems << schedule.failure().text;
    }
    if (boards && schedule) {
        QStringList names;
        for (const FleetBoard &board : *boards)
            names << board.name;
        if (const common::Status unknown = pravik::schedule::checkBoardNames(*schedule, names))
            problems << setup.scheduleFile + QStringLiteral(": ") + unknown->text;
    }

    // The service makes the content folder when it starts; it is missing
    // only when a display file is looked for in it.
    const QStringList files = schedule ? pravik::service::scheduledFiles(*schedule) : QStringList();
    if (!files.isEmpty() && !QFileInfo(setup.contentFolder).isDir()) {
        problems << setup.contentFolder + QStringLiteral(": no such folder");
    } else if (!files.isEmpty()) {
        out << "display files:\n";
        for (const QString &file : files) {
            const common::Expected<QByteArray> stamp =
                pravik::service::contentStamp(setup.contentFolder, file);
            out << "  " << file << (stamp ? "" : "  (unusable)") << '\n';
            if (!stamp)
                problems << stamp.failure().text;
        }
    }

    if (problems.isEmpty()) {
        out << "ok\n";
        return kExitOk;
    }
    out.flush();
    for (const QString &problem : problems)
        sayProblem(output, problem);
    return kExitProblems;
}

} // namespace pravikd

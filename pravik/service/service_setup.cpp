#include "service_setup.h"

#include "pravik/schedule/schedule_file.h"

namespace pravik::service {

common::Expected<ServiceFiles> readServiceFiles(const ServiceSetup &setup)
{
    common::Expected<QList<fleet::FleetBoard>> boards =
        fleet::readFleetFile(setup.fleetFile, fleet::EmptyFleet::Allowed);
    if (!boards)
        return boards.failure();
    common::Expected<schedule::Schedule> schedule = schedule::readScheduleFile(setup.scheduleFile);
    if (!schedule)
        return schedule.failure();
    QStringList names;
    for (const fleet::FleetBoard &board : *boards)
        names << board.name;
    if (const common::Status unknown = schedule::checkBoardNames(*schedule, names)) {
        common::Failure failure = *unknown;
        failure.text = setup.scheduleFile + QStringLiteral(": ") + failure.text;
        return failure;
    }
    return ServiceFiles{*boards, *schedule};
}

QStringList scheduledFiles(const schedule::Schedule &schedule)
{
    QStringList files;
    for (const schedule::Rule &rule : schedule.rules) {
        if (!rule.file.isEmpty() && !files.contains(rule.file))
            files << rule.file;
    }
    return files;
}

} // namespace pravik::service

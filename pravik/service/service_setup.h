#pragma once

#include "pravik/fleet/fleet_file.h"
#include "pravik/schedule/schedule.h"

#include "common/failure.h"

#include <QList>
#include <QString>
#include <QTimeZone>

namespace pravik::service {

// What the service works from: its files and folders, and the zone whose
// wall clock the schedule and the boards' clocks follow.
struct ServiceSetup
{
    QString fleetFile;
    QString scheduleFile;
    QString contentFolder; // display files and their pictures
    QString stateFolder;   // the boards' states
    QString recordFolder;  // the boards' records of what they hold
    QTimeZone zone = QTimeZone::systemTimeZone();
    int linksAtOnce = 0; // 0: every link at once, up to the fleet runner's most
};

// The fleet and the schedule, read and checked against each other.
struct ServiceFiles
{
    QList<fleet::FleetBoard> boards;
    schedule::Schedule schedule;
};

// Reads the fleet file and the schedule; a failure says which file and line
// is wrong, or that the schedule names a board the fleet does not have.
common::Expected<ServiceFiles> readServiceFiles(const ServiceSetup &setup);

// Every display file the schedule names, once, in the order it names them.
QStringList scheduledFiles(const schedule::Schedule &schedule);

} // namespace pravik::service

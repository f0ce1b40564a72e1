#pragma once

#include "fleet_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace pravik::cli {

// How the send to one board of a fleet went.
struct BoardOutcome
{
    enum class Result { Sent, Unchanged, Failed, Stopped };
    Result result = Result::Sent;
    int code = 0;    // the exit status it stands for: 0, the exchange's result, 1, 128 + signal
    QString message; // what stopped it, "title: text"
    int screens = 0; // screens delivered whole
    double seconds = 0;
};

QString resultName(const BoardOutcome &outcome);

// One line per board under a heading: board, result, screens sent, time,
// and the message that stopped a failed board.
QString fleetTable(const QList<FleetBoard> &boards, const QList<BoardOutcome> &outcomes);

// The same as one JSON object, with the exit status.
QByteArray fleetJson(const QList<FleetBoard> &boards, const QList<BoardOutcome> &outcomes,
                     int status);

// 0 when every board succeeded, else the code of the first board in the file
// that did not.
int fleetExitStatus(const QList<BoardOutcome> &outcomes);

} // namespace pravik::cli

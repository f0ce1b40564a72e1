#pragma once

#include "board_outcome.h"
#include "fleet_file.h"
#include "fleet_runner.h"

#include "pravik/jobs/board_record_file.h"
#include "pravik/jobs/stop_token.h"
#include "pravik/link/board_session.h"

#include <QList>
#include <memory>

namespace pravik::document {
class ScreenList;
}

namespace pravik::fleet {

// What the front end of a fleet shows while its boards work. Called from the
// boards' threads, a board at a time each.
class FleetView
{
public:
    virtual ~FleetView() = default;
    // Board `board` (its place in the fleet) sends screen `screen` now.
    virtual void screenSending(int board, int screen) = 0;
    virtual void boardFinished(int board, const BoardOutcome &outcome) = 0;
};

// The display file a fleet is sent, and how.
struct FleetSend
{
    const document::BoardSettings &fileSettings;
    const document::ScreenList &screens;
    QString displayFile;
    bool onlyChanges = false;
    bool startDisplay = true; // the one answer to every board's start question
    int linksAtOnce = 0;      // 0: every link at once, up to FleetRunner's most
    QString recordFolder = jobs::boardRecordFolder();
};

// Makes the session of one board of a fleet, on the thread of its link.
using SessionMaker =
    std::function<std::unique_ptr<link::BoardSession>(const BoardOnLink &board, FleetLink &link)>;

// The real one: the board's line and the fleet's shared UDP sockets.
std::unique_ptr<link::BoardSession> fleetSession(const BoardOnLink &board, FleetLink &link);

// Sends the display file to every board, each with the very job of a send to
// one board, on a FleetRunner. A stop ends every board after its frame on the
// wire, and boards that had not started are stopped as well. The outcomes in
// the fleet's order.
QList<BoardOutcome> sendToFleet(const FleetSend &send, const QList<FleetBoard> &boards,
                                FleetView &view, const jobs::StopToken &stop,
                                const SessionMaker &makeSession = fleetSession,
                                FleetRunner::LineMaker makeLine = {});

} // namespace pravik::fleet

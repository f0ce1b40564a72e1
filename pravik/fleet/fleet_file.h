#pragma once

#include "pravik/document/board_settings.h"
#include "pravik/link/link_override.h"

#include "common/failure.h"

#include <QList>
#include <QString>
#include <cstdint>

namespace pravik::fleet {

// One board of a fleet file: a line "NAME LINK ADDRESS", for example
// "front udp:192.168.1.50:1973 1", "kiosk serial:/dev/ttyUSB0@9600 2" or
// "back COM3 1". Blank lines and lines starting with # are skipped.
struct FleetBoard
{
    QString name;
    QString link; // as the file writes it
    link::LinkOverride linkOverride;
    std::uint8_t busAddress = 1;
};

// Whether a fleet without a board will do: a send needs one, a service may
// wait for its first.
enum class EmptyFleet { Refused, Allowed };

// The boards of the text, in order; a failure ("line 3: ...") when a line is
// malformed, a name repeats or two lines name the same board.
common::Expected<QList<FleetBoard>> parseFleet(const QString &text,
                                               EmptyFleet empty = EmptyFleet::Refused);

// The same from a UTF-8 file; an unreadable file is a failure too.
common::Expected<QList<FleetBoard>> readFleetFile(const QString &path,
                                                  EmptyFleet empty = EmptyFleet::Refused);

// A board of the fleet as the link knows it: the display file's settings with
// the board's link and bus address, and the serial device its link names.
struct BoardOnLink
{
    document::BoardSettings settings;
    QString serialDevice;

    QString linkIdentity() const;  // boards with the same one take turns
    QString boardIdentity() const; // the board's record is kept under it
};
BoardOnLink boardOnLink(const FleetBoard &board, const document::BoardSettings &fileSettings);

} // namespace pravik::fleet

#pragma once

#include "cli_link.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

namespace pravik::cli {

// One board of a fleet file: a line "NAME LINK ADDRESS", for example
// "front udp:192.168.1.50:1973 1", "kiosk serial:/dev/ttyUSB0@9600 2" or
// "back COM3 1". Blank lines and lines starting with # are skipped.
struct FleetBoard
{
    QString name;
    QString link; // as the file writes it
    LinkOverride linkOverride;
    std::uint8_t busAddress = 1;
};

// The boards of the text, in order; nothing with `error` ("line 3: ...") when
// a line is malformed, a name repeats or two lines name the same board.
std::optional<QList<FleetBoard>> parseFleet(const QString &text, QString &error);

// The same from a UTF-8 file; an unreadable or empty file is an error too.
std::optional<QList<FleetBoard>> readFleetFile(const QString &path, QString &error);

// The link the board is reached by, whatever the file's spelling: boards with
// the same link must take turns.
QString fleetLinkKey(const LinkOverride &link);

} // namespace pravik::cli

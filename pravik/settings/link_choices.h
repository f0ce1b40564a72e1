#pragma once

#include <QList>
#include <QStringList>
#include <cstdint>
#include <optional>

// The two lists of the board settings dialog that name the link: the link
// list com_com and the baud list com_baud, with the entry each selects for
// the stored settings.
namespace pravik::settings {

inline const QString kEthernetEntry = QStringLiteral("EtherNet");
// Shown when the serial ports cannot be enumerated (three trailing blanks).
inline const QString kNoPortListText = QStringLiteral("Error!!   ");

inline constexpr int kFixedComPorts = 8;
// The port a stored COM number beyond the fixed list falls back to.
inline constexpr int kFallbackComPort = 2;

struct LinkChoices
{
    QStringList entries;
    int selected = -1; // -1: no entry selected
};

// "EtherNet" first, then "COMn" for each port found (at most 16), selecting
// the stored port: its own entry, "EtherNet" for port 0, else the first port
// found. Without any serial port the stored serial port is still listed, so
// that the operator sees what the display file names. Without an enumeration
// the fixed list "COM1" ... "COM8" is offered, whose index is the port number;
// a stored port above 8 then becomes port 2 (storedPort is changed).
LinkChoices linkChoices(const std::optional<QList<int>> &comNumbers, std::int16_t &storedPort);

// The port number a link text names: 0 for exactly "EtherNet", n for "COM"
// followed by n in 1..16; nothing for any other text.
std::optional<int> portForLinkText(const QString &text);

// "4800" ... "115200", in the order the list shows them.
QStringList baudList();

// The baud list entry for a stored rate (rounded to a whole number): its own
// entry, or "28800" (index 4) for a rate the list does not hold.
int baudIndex(double baud);

} // namespace pravik::settings

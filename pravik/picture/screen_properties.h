#pragma once

#include "rasterise.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace pravik::document {
class ScreenList;
struct Vocabulary;
} // namespace pravik::document

namespace pravik::picture {

// The screen properties command for screen k (row k + 1 of the list): its
// entry and exit effects and speeds, its stay mode and stay time; the failure
// when a speed or the stay time is not a whole number 0..255 and so cannot be
// sent as a byte.
common::Expected<QByteArray> screenPropertiesPayload(const document::ScreenList &screens,
                                                     const document::Vocabulary &vocabulary,
                                                     std::uint8_t screenIndex);

// Sends them. A row that cannot be sent fails with its problem, and nothing
// goes out; else the exchange's failure, if any.
common::Status sendScreenProperties(const PacketExchange &exchange,
                                    const document::ScreenList &screens,
                                    const document::Vocabulary &vocabulary,
                                    std::uint8_t screenIndex);

} // namespace pravik::picture

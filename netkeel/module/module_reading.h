#pragma once

#include <QString>

#include <optional>

namespace netkeel {

// What the read sequence got from the module, one member per field. A field
// whose step failed (no answer, a wrong prefix, a value it cannot take) stays
// empty and the window leaves that field as it was. Texts come without the
// line end that closes the module's answer.
struct ModuleReading
{
    std::optional<int> multiChannel; // 0 or 1
    std::optional<QString> mac;
    std::optional<int> baudCode; // position in kBaudRates
    std::optional<QString> moduleIp;
    std::optional<QString> replyIp;
    std::optional<QString> modulePort;
    std::optional<QString> destPort;
    std::optional<QString> gateway;
    std::optional<QString> netMask;

    // Every step answered with the expected prefix and a value its field takes.
    bool complete = false;
};

} // namespace netkeel

#pragma once

#include <QString>

namespace common {

// True for exactly four decimal numbers 0..255 joined by "." (192.168.0.200).
// Resolvers also accept shorter forms ("192.168.1" as 192.168.0.1), which would
// quietly name another host.
bool isDottedQuad(const QString &text);

} // namespace common

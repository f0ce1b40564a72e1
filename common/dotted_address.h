#pragma once

#include <QString>

namespace common {

// True for exactly four decimal numbers 0..255 joined by "." (192.168.0.200).
// Resolvers also accept shorter forms ("192.168.1" as 192.168.0.1), which would
// quietly name another host.
bool isDottedQuad(const QString &text);

// Four decimal numbers 0..255 joined by ".", blanks around them allowed, in
// the form isDottedQuad takes: "127.000.000.002" becomes "127.0.0.2". Network
// modules show their addresses with three digits per octet, and an address
// copied from them means decimal numbers, where a resolver would read a
// leading zero as octal. Any other text comes back unchanged.
QString canonicalDottedQuad(const QString &text);

} // namespace common

#pragma once

#include <QString>

namespace netkeel {

// The computer's own IPv4 address as dotted text: the first address of the
// first interface that is up and not the loopback, else 127.0.0.1.
QString localIpv4Address();

} // namespace netkeel

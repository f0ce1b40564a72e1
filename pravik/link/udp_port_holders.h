#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace pravik::link {

// The inodes of the sockets in the text of /proc/net/udp or /proc/net/udp6
// that are bound to `port` on the wildcard address (0.0.0.0 or ::), leaving
// out our own sockets' inodes. A socket bound to one address only, like the
// board simulator's 127.0.0.2, is not listed.
QList<quint64> wildcardHoldersOf(const QByteArray &table, quint16 port,
                                 const QList<quint64> &ownInodes);

// True when a socket other than ours (the descriptors) holds `port` on the
// wildcard address on this computer. Only Linux can tell; elsewhere false.
bool udpPortHeldByAnother(const QList<qintptr> &ownDescriptors, quint16 port);

} // namespace pravik::link

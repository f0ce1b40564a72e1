#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace pravik::link {

// The inodes of the sockets in the text of /proc/net/udp or /proc/net/udp6
// that are bound to `port` on the wildcard address (0.0.0.0 or ::), leaving
// out our own socket's inode. A socket bound to one address only, like the
// board simulator's 127.0.0.2, is not listed.
QList<quint64> wildcardHoldersOf(const QByteArray &table, quint16 port, quint64 ownInode);

// True when a socket other than ours (the descriptor) holds `port` on the
// wildcard address on this computer. Only Linux can tell; elsewhere false.
bool udpPortHeldByAnother(qintptr ownDescriptor, quint16 port);

} // namespace pravik::link

#include "udp_port_holders.h"

#include <QFile>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace pravik::link {
namespace {

// An address column of the table: 8 hex digits for IPv4, 32 for IPv6, all
// zero for the wildcard whatever the byte order.
bool isWildcardAddress(const QByteArray &hex)
{
    if (hex.size() != 8 && hex.size() != 32)
        return false;
    return std::all_of(hex.cbegin(), hex.cend(), [](char c) { return c == '0'; });
}

} // namespace

QList<quint64> wildcardHoldersOf(const QByteArray &table, quint16 port,
                                 const QList<quint64> &ownInodes)
{
    // "  263: 00000000:07B5 00000000:0000 07 00000000:00000000 00:00000000
    //  00000000  1000        0 45872 2 0000000000000000 0": the local address
    // and port in hex are the second column, the inode the tenth. The heading
    // line has no address in that column and so is passed over.
    constexpr qsizetype localColumn = 1;
    constexpr qsizetype inodeColumn = 9;
    QList<quint64> holders;
    for (const QByteArray &line : table.split('\n')) {
        const QList<QByteArray> columns = line.simplified().split(' ');
        if (columns.size() <= inodeColumn)
            continue;
        const QList<QByteArray> local = columns[localColumn].split(':');
        if (local.size() != 2 || !isWildcardAddress(local[0]))
            continue;
        bool portOk = false;
        bool inodeOk = false;
        const uint localPort = local[1].toUInt(&portOk, 16);
        const quint64 inode = columns[inodeColumn].toULongLong(&inodeOk, 10);
        if (portOk && inodeOk && localPort == port && !ownInodes.contains(inode))
            holders.append(inode);
    }
    return holders;
}

bool udpPortHeldByAnother(const QList<qintptr> &ownDescriptors, quint16 port)
{
#ifdef Q_OS_LINUX
    QList<quint64> ownInodes;
    for (const qintptr descriptor : ownDescriptors) {
        struct stat own = {};
        if (descriptor < 0 || fstat(static_cast<int>(descriptor), &own) != 0)
            return false;
        ownInodes << own.st_ino;
    }
    // A socket on "::" takes IPv4 datagrams too, unless it was made IPv6 only,
    // which the table does not show; it is counted all the same.
    for (const char *path : {"/proc/net/udp", "/proc/net/udp6"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly) &&
            !wildcardHoldersOf(file.readAll(), port, ownInodes).isEmpty())
            return true;
    }
    return false;
#else
    Q_UNUSED(ownDescriptors);
    Q_UNUSED(port);
    return false;
#endif
}

} // namespace pravik::link

#include "fleet_file.h"

#include "common/dotted_address.h"
#include "common/serial_port_names.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace pravik::cli {
namespace {

std::optional<LinkOverride> fleetLink(const QString &text, QString &error)
{
    static const QRegularExpression comName(QStringLiteral("^COM\\d+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    // A bare COMn is the serial port of that name, as in the display file.
    std::optional<LinkOverride> link = parseLinkOverride(
        comName.match(text).hasMatch() ? QStringLiteral("serial:") + text : text, error);
    if (!link)
        error = QStringLiteral("the link is udp:HOST:PORT, serial:DEVICE[@BAUD] or COMn, not '%1'")
                    .arg(text);
    return link;
}

} // namespace

QString fleetLinkKey(const LinkOverride &link)
{
    if (link.udp)
        return QStringLiteral("udp:%1:%2")
            .arg(common::canonicalDottedQuad(link.host.trimmed()))
            .arg(link.port);
    static const QRegularExpression comName(QStringLiteral("^COM(\\d+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = comName.match(link.device);
    return QStringLiteral("serial:") + (match.hasMatch()
                                            ? common::serialDeviceForPort(match.captured(1).toInt())
                                            : link.device);
}

std::optional<QList<FleetBoard>> parseFleet(const QString &text, QString &error)
{
    QList<FleetBoard> boards;
    QSet<QString> names;
    QSet<QString> boardsSeen;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        if (fields.size() != 3) {
            error = where + QStringLiteral("write NAME LINK ADDRESS, not '%1'").arg(line);
            return std::nullopt;
        }
        FleetBoard board{fields[0], fields[1], {}, 1};
        bool ok = false;
        const int address = fields[2].toInt(&ok, 0);
        if (!ok || address < 0 || address > 255) {
            error = where + QStringLiteral("the bus address is 0 to 255, not '%1'").arg(fields[2]);
            return std::nullopt;
        }
        board.busAddress = static_cast<std::uint8_t>(address);
        const std::optional<LinkOverride> link = fleetLink(board.link, error);
        if (!link) {
            error = where + error;
            return std::nullopt;
        }
        board.linkOverride = *link;
        const QString identity = fleetLinkKey(*link) + QStringLiteral(" address %1").arg(address);
        if (names.contains(board.name) || boardsSeen.contains(identity)) {
            error = where + (names.contains(board.name)
                                 ? QStringLiteral("the name %1 is taken").arg(board.name)
                                 : QStringLiteral("%1 is named twice").arg(identity));
            return std::nullopt;
        }
        names.insert(board.name);
        boardsSeen.insert(identity);
        boards << board;
    }
    if (boards.isEmpty()) {
        error = QStringLiteral("the fleet file names no board");
        return std::nullopt;
    }
    return boards;
}

std::optional<QList<FleetBoard>> readFleetFile(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const std::optional<QList<FleetBoard>> boards =
        parseFleet(QString::fromUtf8(file.readAll()), error);
    if (!boards)
        error = path + QStringLiteral(": ") + error;
    return boards;
}

} // namespace pravik::cli

#include "fleet_file.h"

#include "pravik/link/board_identity.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace pravik::fleet {
namespace {

common::Failure unusable(const QString &text)
{
    return {common::kRefusedCode, QString(), text, common::MessageIcon::Error};
}

common::Expected<link::LinkOverride> fleetLink(const QString &text)
{
    static const QRegularExpression comName(QStringLiteral("^COM\\d+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    // A bare COMn is the serial port of that name, as in the display file.
    common::Expected<link::LinkOverride> link = link::parseLinkOverride(
        comName.match(text).hasMatch() ? QStringLiteral("serial:") + text : text);
    if (!link)
        return unusable(
            QStringLiteral("the link is udp:HOST:PORT, serial:DEVICE[@BAUD] or COMn, not '%1'")
                .arg(text));
    return link;
}

} // namespace

QString BoardOnLink::linkIdentity() const
{
    return link::linkIdentity(settings, serialDevice);
}

QString BoardOnLink::boardIdentity() const
{
    return link::boardIdentity(settings, serialDevice);
}

BoardOnLink boardOnLink(const FleetBoard &board, const document::BoardSettings &fileSettings)
{
    BoardOnLink onLink{fileSettings, {}};
    onLink.serialDevice = link::applyLinkOverride(board.linkOverride, onLink.settings);
    onLink.settings.setBusAddress(board.busAddress);
    return onLink;
}

common::Expected<QList<FleetBoard>> parseFleet(const QString &text, EmptyFleet empty)
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
        if (fields.size() != 3)
            return unusable(where + QStringLiteral("write NAME LINK ADDRESS, not '%1'").arg(line));
        FleetBoard board{fields[0], fields[1], {}, 1};
        bool ok = false;
        const int address = fields[2].toInt(&ok, 0);
        if (!ok || address < 0 || address > 255)
            return unusable(where +
                            QStringLiteral("the bus address is 0 to 255, not '%1'").arg(fields[2]));
        board.busAddress = static_cast<std::uint8_t>(address);
        const common::Expected<link::LinkOverride> link = fleetLink(board.link);
        if (!link)
            return unusable(where + link.failure().text);
        board.linkOverride = *link;
        const QString identity = boardOnLink(board, document::BoardSettings{}).boardIdentity();
        if (names.contains(board.name))
            return unusable(where + QStringLiteral("the name %1 is taken").arg(board.name));
        if (boardsSeen.contains(identity))
            return unusable(where + QStringLiteral("%1 is named twice").arg(identity));
        names.insert(board.name);
        boardsSeen.insert(identity);
        boards << board;
    }
    if (boards.isEmpty() && empty == EmptyFleet::Refused)
        return unusable(QStringLiteral("the fleet file names no board"));
    return boards;
}

common::Expected<QList<FleetBoard>> readFleetFile(const QString &path, EmptyFleet empty)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unusable(QStringLiteral("%1: %2").arg(path, file.errorString()));
    common::Expected<QList<FleetBoard>> boards =
        parseFleet(QString::fromUtf8(file.readAll()), empty);
    if (!boards)
        return unusable(path + QStringLiteral(": ") + boards.failure().text);
    return boards;
}

} // namespace pravik::fleet

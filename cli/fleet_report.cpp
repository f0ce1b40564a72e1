#include "fleet_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace pravik::cli {

QString fleetTable(const QList<fleet::FleetBoard> &boards,
                   const QList<fleet::BoardOutcome> &outcomes)
{
    qsizetype nameWidth = 5;
    for (const fleet::FleetBoard &board : boards)
        nameWidth = std::max(nameWidth, board.name.size());
    const auto line = [&](const QString &name, const QString &result, const QString &screens,
                          const QString &time, const QString &message) {
        const QString columns = QStringLiteral("%1  %2  %3  %4  %5")
                                    .arg(name, -static_cast<int>(nameWidth))
                                    .arg(result, -10)
                                    .arg(screens, 7)
                                    .arg(time, 8)
                                    .arg(message);
        return columns.trimmed() + u'\n';
    };
    QString table =
        line(QStringLiteral("BOARD"), QStringLiteral("RESULT"), QStringLiteral("SCREENS"),
             QStringLiteral("TIME"), QStringLiteral("MESSAGE"));
    for (qsizetype i = 0; i < boards.size(); ++i) {
        const fleet::BoardOutcome &outcome = outcomes[i];
        const QString result =
            outcome.code != 0
                ? QStringLiteral("%1 %2").arg(fleet::resultName(outcome.result)).arg(outcome.code)
                : fleet::resultName(outcome.result);
        table += line(boards[i].name, result, QString::number(outcome.screens),
                      QStringLiteral("%1 s").arg(outcome.seconds, 0, 'f', 2), outcome.message);
    }
    return table;
}

QByteArray fleetJson(const QList<fleet::FleetBoard> &boards,
                     const QList<fleet::BoardOutcome> &outcomes, int status)
{
    QJsonArray rows;
    for (qsizetype i = 0; i < boards.size(); ++i) {
        const fleet::BoardOutcome &outcome = outcomes[i];
        rows.append(
            QJsonObject{{QStringLiteral("board"), boards[i].name},
                        {QStringLiteral("link"), boards[i].link},
                        {QStringLiteral("address"), boards[i].busAddress},
                        {QStringLiteral("result"), fleet::resultName(outcome.result)},
                        {QStringLiteral("code"), outcome.code},
                        {QStringLiteral("message"), outcome.message},
                        {QStringLiteral("screens"), outcome.screens},
                        {QStringLiteral("seconds"), std::round(outcome.seconds * 1000) / 1000}});
    }
    const QJsonObject root{{QStringLiteral("boards"), rows}, {QStringLiteral("status"), status}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

int fleetExitStatus(const QList<fleet::BoardOutcome> &outcomes)
{
    for (const fleet::BoardOutcome &outcome : outcomes) {
        if (outcome.code != 0)
            return outcome.code;
    }
    return 0;
}

} // namespace pravik::cli

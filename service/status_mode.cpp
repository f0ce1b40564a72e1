#include "local_time.h"
#include "modes.h"
#include "service_config.h"

#include "pravik/schedule/describe.h"
#include "pravik/service/state_store.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace pravikd {
namespace {

using pravik::service::BoardState;

QStringList rowOf(const BoardState &state, const QTimeZone &zone)
{
    QString shows = QStringLiteral("-");
    QDateTime since;
    if (state.shown) {
        shows = pravik::schedule::describe(
            pravik::schedule::Showing{state.shown->file, state.shown->range, 0});
        since = state.shown->since;
    }
    return {state.board,
            pravik::service::healthName(state.health),
            shows,
            localTimeText(since, zone),
            localTimeText(state.lastContact, zone),
            localTimeText(state.nextChange, zone),
            state.lastFailure ? state.lastFailure->message : QStringLiteral("-")};
}

void printTable(const QList<QStringList> &rows, QTextStream &out)
{
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    for (const QStringList &row : rows) {
        QString text;
        for (qsizetype column = 0; column < row.size(); ++column)
            text += column + 1 == row.size() ? row[column]
                                             : row[column].leftJustified(widths[column] + 2);
        out << text << '\n';
    }
}

} // namespace

int runStatus(const CommandLine &line, Output &output)
{
    const std::optional<ServiceConfig> config = readConfig(line, output);
    if (!config)
        return kExitProblems;
    const QString &folder = config->setup.stateFolder;
    // A folder not made yet is a service that has kept no board yet; one that
    // cannot be listed would look the same, so it is said.
    const QFileInfo info(folder);
    if (info.exists() && (!info.isDir() || !info.isReadable() || !info.isExecutable()))
        return sayProblem(output, folder + QStringLiteral(": the state folder cannot be read"));
    const common::Expected<QList<BoardState>> states =
        pravik::service::StateStore(folder).readAll();
    if (!states)
        return sayProblem(output, states.failure().text);

    if (line.json) {
        QJsonArray boards;
        for (const BoardState &state : *states)
            boards << pravik::service::stateToJson(state);
        output.out << QJsonDocument(QJsonObject{{QStringLiteral("boards"), boards}})
                          .toJson(QJsonDocument::Indented);
        return kExitOk;
    }
    QList<QStringList> rows{{QStringLiteral("BOARD"), QStringLiteral("STATE"),
                             QStringLiteral("SHOWS"), QStringLiteral("SINCE"),
                             QStringLiteral("LAST CONTACT"), QStringLiteral("NEXT CHANGE"),
                             QStringLiteral("LAST FAILURE")}};
    for (const BoardState &state : *states)
        rows << rowOf(state, config->setup.zone);
    printTable(rows, output.out);
    return kExitOk;
}

} // namespace pravikd

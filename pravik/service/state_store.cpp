#include "state_store.h"

#include "common/file_replace.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QUrl>
#include <algorithm>

namespace pravik::service {
namespace {

const QString kSuffix = QStringLiteral(".state.json");

common::Failure unreadable(const QString &path, const QString &why)
{
    return {common::kFailedCode, QString(), QStringLiteral("%1: %2").arg(path, why),
            common::MessageIcon::Error};
}

common::Expected<BoardState> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(path, file.errorString());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
        return unreadable(path, error.errorString());
    common::Expected<BoardState> state = stateFromJson(document.object());
    if (!state)
        return unreadable(path, state.failure().text);
    return state;
}

} // namespace

QString StateStore::pathOf(const QString &board) const
{
    // A fleet's board names hold no spaces but may hold any other character;
    // percent-encoding keeps "/" and ".." out of the file's name.
    return QDir(m_folder).filePath(QString::fromLatin1(QUrl::toPercentEncoding(board)) + kSuffix);
}

common::Status StateStore::write(const BoardState &state) const
{
    if (!QDir().mkpath(m_folder))
        return unreadable(m_folder, QStringLiteral("cannot make the folder"));
    const QByteArray bytes = QJsonDocument(stateToJson(state)).toJson(QJsonDocument::Indented);
    if (const common::Status failed = common::replaceFileContents(pathOf(state.board), bytes))
        return unreadable(pathOf(state.board), failed->text);
    return {};
}

common::Expected<BoardState> StateStore::read(const QString &board) const
{
    const QString path = pathOf(board);
    if (!QFile::exists(path)) {
        BoardState fresh;
        fresh.board = board;
        return fresh;
    }
    common::Expected<BoardState> state = readFile(path);
    if (state && state->board != board)
        return unreadable(path, QStringLiteral("the state of %1").arg(state->board));
    return state;
}

common::Expected<QList<BoardState>> StateStore::readAll() const
{
    QList<BoardState> states;
    const QStringList files =
        QDir(m_folder).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        common::Expected<BoardState> state = readFile(QDir(m_folder).filePath(name));
        if (!state)
            return state.failure();
        states << *state;
    }
    std::sort(states.begin(), states.end(),
              [](const BoardState &a, const BoardState &b) { return a.board < b.board; });
    return states;
}

} // namespace pravik::service

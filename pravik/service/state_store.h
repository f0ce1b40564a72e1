#pragma once

#include "board_state.h"

#include <QList>
#include <QString>

namespace pravik::service {

// The service's state folder: one small JSON file per board, each replaced
// whole, so that a file holds either the old or the new state whatever
// happens meanwhile.
class StateStore
{
public:
    explicit StateStore(QString folder) : m_folder(std::move(folder)) {}

    const QString &folder() const { return m_folder; }
    // Where the state of `board` lives; the name is made safe for a file.
    QString pathOf(const QString &board) const;

    common::Status write(const BoardState &state) const;
    // The state of `board`; a board never seen has a state of its own, unknown.
    common::Expected<BoardState> read(const QString &board) const;
    // Every board's state in the folder, by board name.
    common::Expected<QList<BoardState>> readAll() const;

private:
    QString m_folder;
};

} // namespace pravik::service

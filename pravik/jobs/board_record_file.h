#pragma once

#include "board_record.h"

#include "common/failure.h"

#include <QString>

namespace pravik::jobs {

// The folder of the board records: "pravik/boards" in the user's cache
// folder, shared by the window and pravik-cli.
QString boardRecordFolder();

// Where the record of a board (link::boardIdentity) lives in `folder`: one
// small file per board.
QString boardRecordPath(const QString &folder, const QString &identity);

struct RecordRead
{
    enum class Status {
        Missing, // nothing recorded yet for this board
        Read,
        Unreadable, // the file cannot be read or is no record; `problem` says why
        Foreign,    // a sound record, of another board
    };
    Status status = Status::Missing;
    BoardRecord record;
    QString problem;
};

RecordRead readBoardRecord(const QString &path, const QString &identity);

// Writes the record so that the file holds either the old or the new record
// whatever happens meanwhile; the failure gives the system's reason.
common::Status writeBoardRecord(const QString &path, const BoardRecord &record);

} // namespace pravik::jobs

#include "board_record_file.h"

#include "common/file_replace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace pravik::jobs {
namespace {

// Long enough that two boards of one computer never meet in one file name.
constexpr qsizetype kFileNameHexDigits = 20;

} // namespace

QString boardRecordFolder()
{
    // The generic cache folder: the window and pravik-cli go by different
    // program names, and both must find the same records.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("pravik/boards"));
}

QString boardRecordPath(const QString &folder, const QString &identity)
{
    const QByteArray hash =
        QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(folder).filePath(QString::fromLatin1(hash.left(kFileNameHexDigits)) +
                                 QStringLiteral(".json"));
}

RecordRead readBoardRecord(const QString &path, const QString &identity)
{
    RecordRead read;
    QFile file(path);
    if (!file.exists())
        return read;
    if (!file.open(QIODevice::ReadOnly)) {
        read.status = RecordRead::Status::Unreadable;
        read.problem = file.errorString();
        return read;
    }
    common::Expected<BoardRecord> record = recordFromJson(file.readAll());
    if (!record) {
        read.status = RecordRead::Status::Unreadable;
        read.problem = record.failure().text;
        return read;
    }
    read.status =
        record->board == identity ? RecordRead::Status::Read : RecordRead::Status::Foreign;
    read.problem = record->board;
    read.record = std::move(*record);
    return read;
}

common::Status writeBoardRecord(const QString &path, const BoardRecord &record)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return common::Failure{common::kFailedCode, QString(),
                               QStringLiteral("cannot create %1").arg(QFileInfo(path).path())};
    return common::replaceFileContents(path, recordToJson(record));
}

} // namespace pravik::jobs

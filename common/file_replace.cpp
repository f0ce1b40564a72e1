#include "file_replace.h"

#include <QSaveFile>

namespace common {

Status replaceFileContents(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, because commit() writes out a buffer without looking at
    // whether that worked: on a full disk it would put a cut-off file in place
    // of the old one and report success. A short write is followed by another,
    // which fails with the system's reason ("No space left on device").
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qsizetype done = 0; written && done < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + done, bytes.size() - done);
        written = count > 0;
        done += count;
    }
    if (written && file.commit())
        return {};
    const QString reason = file.errorString();
    file.cancelWriting();
    return Failure{kFailedCode, QString(), reason, MessageIcon::Error};
}

} // namespace common

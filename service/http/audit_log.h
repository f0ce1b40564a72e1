#pragma once

#include "common/failure.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <mutex>

namespace pravikd::http {

// The audit trail: one JSON object a line for every request that would change
// something and every action of the schedule, on disk before the request is
// answered. Past a size the file turns into audit.log.1 (the older ones move
// up to .3, the oldest goes), so the trail never fills the disk.
class AuditLog
{
public:
    static constexpr qint64 kRotateBytes = 1024 * 1024;
    static constexpr int kOldFiles = 3;

    explicit AuditLog(QString path, qint64 rotateBytes = kRotateBytes);
    ~AuditLog();
    AuditLog(const AuditLog &) = delete;
    AuditLog &operator=(const AuditLog &) = delete;

    // Opens (or creates, 0600) the file for appending.
    common::Status open();

    // Writes the entry as one line and waits until it is on disk; false when
    // that failed.
    bool append(const QJsonObject &entry);

    // The newest `count` entries, oldest first, from the file and the turned
    // ones before it.
    QList<QJsonObject> lastEntries(int count);

private:
    bool rotate();
    QString oldFile(int number) const;

    const QString m_path;
    const qint64 m_rotateBytes;
    std::mutex m_mutex;
    int m_fd = -1;
    qint64 m_size = 0;
};

} // namespace pravikd::http

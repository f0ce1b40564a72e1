#include "audit_log.h"

#include <QFile>
#include <QJsonDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pravikd::http {
namespace {

int openForAppending(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC,
                  0600);
}

// The file's complete lines that are JSON objects, oldest first.
QList<QJsonObject> entriesOf(const QString &path)
{
    QList<QJsonObject> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject())
            entries.append(document.object());
    }
    return entries;
}

} // namespace

AuditLog::AuditLog(QString path, qint64 rotateBytes)
    : m_path(std::move(path)), m_rotateBytes(rotateBytes)
{
}

AuditLog::~AuditLog()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

common::Status AuditLog::open()
{
    const std::lock_guard lock(m_mutex);
    m_fd = openForAppending(m_path);
    struct stat info;
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return common::Failure{
            common::kRefusedCode, QString(),
            QStringLiteral("%1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno))),
            common::MessageIcon::Error};
    m_size = info.st_size;
    return std::nullopt;
}

QString AuditLog::oldFile(int number) const
{
    return m_path + u'.' + QString::number(number);
}

bool AuditLog::rotate()
{
    ::close(m_fd);
    ::unlink(QFile::encodeName(oldFile(kOldFiles)).constData());
    for (int number = kOldFiles - 1; number >= 1; --number)
        ::rename(QFile::encodeName(oldFile(number)).constData(),
                 QFile::encodeName(oldFile(number + 1)).constData());
    ::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(oldFile(1)).constData());
    m_fd = openForAppending(m_path);
    m_size = 0;
    return m_fd >= 0;
}

bool AuditLog::append(const QJsonObject &entry)
{
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    const std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return false;
    if (m_size > 0 && m_size + line.size() > m_rotateBytes && !rotate())
        return false;
    qsizetype written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(m_fd, line.constData() + written, size_t(line.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    m_size += line.size();
    return ::fdatasync(m_fd) == 0;
}

QList<QJsonObject> AuditLog::lastEntries(int count)
{
    const std::lock_guard lock(m_mutex);
    QList<QJsonObject> entries;
    for (int number = 0; number <= kOldFiles && entries.size() < count; ++number) {
        const QList<QJsonObject> older = entriesOf(number == 0 ? m_path : oldFile(number));
        const qsizetype wanted = std::min<qsizetype>(count - entries.size(), older.size());
        entries = older.mid(older.size() - wanted) + entries;
    }
    return entries;
}

} // namespace pravikd::http

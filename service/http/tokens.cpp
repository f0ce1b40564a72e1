#include "tokens.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pravikd::http {
namespace {

constexpr int kHashBytes = 32;
// A presented token longer than this is no token of ours; it is not hashed.
constexpr qsizetype kLongestToken = 256;

const char kFileHeader[] =
    "# pravikd's API tokens, one a line: NAME ROLE SHA-256 of the token (hex).\n"
    "# ROLE is operator (may change things) or viewer (may only look).\n"
    "# Add one with: pravikd --new-token NAME [--viewer]. Delete a line to revoke.\n";

common::Failure refused(const QString &text)
{
    return {common::kRefusedCode, QString(), text, common::MessageIcon::Error};
}

QString systemError(const QString &path)
{
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

// Closes a descriptor when it goes out of scope.
struct FileDescriptor
{
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

QByteArray readAll(int fd)
{
    QByteArray bytes;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return bytes;
        bytes.append(buffer, n);
        offset += n;
    }
}

QByteArray entryLine(const QString &name, Role role, const QByteArray &token)
{
    return name.toUtf8() + ' ' + roleName(role).toUtf8() + ' ' + tokenHash(token).toHex() + '\n';
}

} // namespace

QString roleName(Role role)
{
    return role == Role::Operator ? QStringLiteral("operator") : QStringLiteral("viewer");
}

common::Expected<QString> generateToken()
{
    unsigned char random[kTokenRandomBytes];
    if (RAND_bytes(random, sizeof random) != 1)
        return refused(QStringLiteral("the system's random source gave no bytes for a token"));
    const QByteArray bytes(reinterpret_cast<const char *>(random), sizeof random);
    OPENSSL_cleanse(random, sizeof random);
    return QString::fromLatin1(kTokenPrefix + bytes.toBase64(QByteArray::Base64UrlEncoding |
                                                             QByteArray::OmitTrailingEquals));
}

QByteArray tokenHash(const QByteArray &token)
{
    return QCryptographicHash::hash(token, QCryptographicHash::Sha256);
}

bool isTokenName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9._-]{1,64}$"));
    return pattern.match(name).hasMatch();
}

common::Expected<QList<TokenEntry>> parseTokenFile(const QByteArray &text)
{
    QList<TokenEntry> entries;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() != 3)
            return refused(where + QStringLiteral("write NAME ROLE SHA256-HEX"));
        TokenEntry entry;
        entry.name = QString::fromUtf8(words[0]);
        if (!isTokenName(entry.name))
            return refused(where + QStringLiteral("a token's name is 1 to 64 letters, digits, "
                                                  "'.', '_' or '-'"));
        if (words[1] == "operator")
            entry.role = Role::Operator;
        else if (words[1] == "viewer")
            entry.role = Role::Viewer;
        else
            return refused(where + QStringLiteral("the role is operator or viewer"));
        entry.hash = QByteArray::fromHex(words[2]);
        if (words[2].size() != 2 * kHashBytes || entry.hash.size() != kHashBytes ||
            entry.hash.toHex() != words[2].toLower())
            return refused(where + QStringLiteral("the hash is 64 hexadecimal digits"));
        for (const TokenEntry &other : entries) {
            if (other.name == entry.name)
                return refused(where + QStringLiteral("the name %1 is used twice").arg(entry.name));
        }
        entries.append(entry);
    }
    return entries;
}

common::Expected<QString> createToken(const QString &tokenFile, const QString &name, Role role)
{
    if (!isTokenName(name))
        return refused(QStringLiteral("a token's name is 1 to 64 letters, digits, '.', '_' or "
                                      "'-', not '%1'")
                           .arg(name));
    FileDescriptor file{::open(QFile::encodeName(tokenFile).constData(),
                               O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600)};
    if (file.fd < 0)
        return refused(systemError(tokenFile));
    // Two --new-token at once must not both take a name, nor mix their lines.
    if (::flock(file.fd, LOCK_EX) != 0 || ::fchmod(file.fd, 0600) != 0)
        return refused(systemError(tokenFile));
    const QByteArray text = readAll(file.fd);
    const common::Expected<QList<TokenEntry>> entries = parseTokenFile(text);
    if (!entries)
        return refused(tokenFile + QStringLiteral(": ") + entries.failure().text);
    for (const TokenEntry &entry : *entries) {
        if (entry.name == name)
            return refused(QStringLiteral("a token named %1 is there already").arg(name));
    }
    common::Expected<QString> token = generateToken();
    if (!token)
        return token;
    QByteArray lines;
    if (text.isEmpty())
        lines = kFileHeader;
    else if (!text.endsWith('\n'))
        lines = "\n";
    lines += entryLine(name, role, token->toLatin1());
    if (!writeAll(file.fd, lines) || ::fsync(file.fd) != 0)
        return refused(systemError(tokenFile));
    return token;
}

common::Expected<bool> createFirstToken(const QString &tokenFile, const QString &initialTokenFile)
{
    FileDescriptor tokens{::open(QFile::encodeName(tokenFile).constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
    if (tokens.fd < 0) {
        if (errno == EEXIST)
            return false;
        return refused(systemError(tokenFile));
    }
    const common::Expected<QString> token = generateToken();
    const QByteArray name = QByteArrayLiteral("admin");
    bool written = token &&
                   writeAll(tokens.fd, QByteArray(kFileHeader) +
                                           entryLine(QString::fromLatin1(name), Role::Operator,
                                                     token->toLatin1())) &&
                   ::fsync(tokens.fd) == 0;
    QString problem = token ? systemError(tokenFile) : token.failure().text;
    if (written) {
        FileDescriptor initial{::open(QFile::encodeName(initialTokenFile).constData(),
                                      O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
        written = initial.fd >= 0 && ::fchmod(initial.fd, 0600) == 0 &&
                  writeAll(initial.fd, token->toLatin1() + '\n') && ::fsync(initial.fd) == 0;
        problem = systemError(initialTokenFile);
    }
    if (!written) {
        // A token nobody can collect would only lock the operator out.
        ::unlink(QFile::encodeName(tokenFile).constData());
        return refused(problem);
    }
    return true;
}

TokenStore::TokenStore(QString path, Log log) : m_path(std::move(path)), m_log(std::move(log)) {}

common::Status TokenStore::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("%1: %2").arg(m_path, file.errorString()));
    const common::Expected<QList<TokenEntry>> entries = parseTokenFile(file.readAll());
    if (!entries)
        return refused(m_path + QStringLiteral(": ") + entries.failure().text);
    current();
    return std::nullopt;
}

std::shared_ptr<const QList<TokenEntry>> TokenStore::current()
{
    struct stat info;
    Stamp stamp;
    if (::stat(QFile::encodeName(m_path).constData(), &info) == 0)
        stamp = {qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                 qint64(info.st_size), quint64(info.st_ino)};
    const std::lock_guard lock(m_mutex);
    if (m_entries && stamp == m_stamp)
        return m_entries;
    m_stamp = stamp;
    QFile file(m_path);
    common::Expected<QList<TokenEntry>> entries = QList<TokenEntry>();
    if (!file.open(QIODevice::ReadOnly)) {
        if (m_log)
            m_log(LogLevel::Error,
                  QStringLiteral("%1: %2; no token is accepted").arg(m_path, file.errorString()));
    } else {
        entries = parseTokenFile(file.readAll());
        if (!entries && m_log)
            m_log(LogLevel::Error, QStringLiteral("%1: %2; no token is accepted until it is "
                                                  "mended")
                                       .arg(m_path, entries.failure().text));
    }
    m_entries = std::make_shared<const QList<TokenEntry>>(entries ? *entries : QList<TokenEntry>());
    return m_entries;
}

std::optional<Caller> TokenStore::authenticate(const QByteArray &presented)
{
    if (presented.isEmpty() || presented.size() > kLongestToken)
        return std::nullopt;
    const QByteArray hash = tokenHash(presented);
    const std::shared_ptr<const QList<TokenEntry>> entries = current();
    const TokenEntry *match = nullptr;
    for (const TokenEntry &entry : *entries) {
        const bool same = CRYPTO_memcmp(hash.constData(), entry.hash.constData(), kHashBytes) == 0;
        if (same && !match)
            match = &entry;
    }
    if (!match)
        return std::nullopt;
    return Caller{match->name, match->role};
}

} // namespace pravikd::http

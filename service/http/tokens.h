#pragma once

#include "remote_log.h"

#include "common/failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <mutex>
#include <optional>

namespace pravikd::http {

// An operator may do everything, a viewer only look.
enum class Role { Operator, Viewer };

QString roleName(Role role);

// One line of the token file: "NAME ROLE SHA256-HEX". Only the hash of a
// token is ever kept; the token itself is shown once, when it is made.
struct TokenEntry
{
    QString name;
    Role role = Role::Operator;
    QByteArray hash; // SHA-256, 32 bytes
};

inline constexpr int kTokenRandomBytes = 24; // 192 bits
inline constexpr char kTokenPrefix[] = "pvk_";

// A new token: "pvk_" and 24 bytes of the system's cryptographic random
// source in base64url.
common::Expected<QString> generateToken();
QByteArray tokenHash(const QByteArray &token);

// Whether `name` may name a token: 1 to 64 letters, digits, '.', '_', '-'.
bool isTokenName(const QString &name);

// The token file's entries; a failure "line N: ..." for the first bad line.
common::Expected<QList<TokenEntry>> parseTokenFile(const QByteArray &text);

// For pravikd --new-token: makes a token, appends its hash to the token file
// (created 0600 when missing) and returns the token, to be printed once.
// Refuses a name the file has already.
common::Expected<QString> createToken(const QString &tokenFile, const QString &name, Role role);

// At the first start, when there is no token file: makes an operator token
// named "admin", stores its hash, and writes the token itself to
// `initialTokenFile` (0600) for the operator to collect. False when the token
// file was there already.
common::Expected<bool> createFirstToken(const QString &tokenFile, const QString &initialTokenFile);

// Who sent a request, as its token says.
struct Caller
{
    QString name;
    Role role = Role::Operator;
};

// The token file as the server checks requests against it. It is read again
// whenever it changes, so a token made or struck out while the service runs
// counts at once; a file that no longer reads admits nobody.
class TokenStore
{
public:
    TokenStore(QString path, Log log);

    // Reads the file; a failure when it cannot be read or is malformed.
    common::Status load();

    // The caller whose token hashes to the presented one. Every stored hash
    // is compared in constant time, all of them, whichever matches.
    std::optional<Caller> authenticate(const QByteArray &presented);

private:
    struct Stamp
    {
        qint64 modified = -1;
        qint64 size = -1;
        quint64 inode = 0;
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };
    std::shared_ptr<const QList<TokenEntry>> current();

    const QString m_path;
    const Log m_log;
    std::mutex m_mutex;
    Stamp m_stamp;
    std::shared_ptr<const QList<TokenEntry>> m_entries;
};

} // namespace pravikd::http

#include "service_config.h"

#include "common/line_comments.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QStringDecoder>
#include <array>

namespace pravikd {
namespace {

enum Key {
    Fleet,
    Schedule,
    Content,
    State,
    Records,
    Zone,
    Links,
    Listen,
    Certificate,
    TlsKey,
    Tokens,
    Audit,
    KeyCount
};

constexpr std::array<const char *, KeyCount> kKeyNames = {
    "fleet", "schedule", "content",     "state", "records", "zone",
    "links", "listen",   "certificate", "key",   "tokens",  "audit"};

// The fleet runner's own bound: more links at once than this share threads.
constexpr int kMostLinks = 64;

common::Failure unusable(const QString &text)
{
    return {common::kRefusedCode, QString(), text, common::MessageIcon::Error};
}

int keyNamed(const QString &name)
{
    for (int key = 0; key < KeyCount; ++key) {
        if (name == QLatin1String(kKeyNames[key]))
            return key;
    }
    return -1;
}

// "127.0.0.1:8787" or "[::1]:8787": an address of this machine, not a name,
// so that what the service listens on never depends on a resolver.
bool parseListen(const QString &text, QString &host, quint16 &port)
{
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    QString address = text.left(colon);
    if (address.startsWith(u'[') && address.endsWith(u']'))
        address = address.mid(1, address.size() - 2);
    else if (address.contains(u':'))
        return false; // an IPv6 address wants its brackets
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok);
    // Port 0 takes any free port, which the log then names.
    if (!ok || number > 65535 || QHostAddress(address).isNull())
        return false;
    host = address;
    port = static_cast<quint16>(number);
    return true;
}

// A zone of the IANA database. Qt takes any word for a POSIX zone rule
// ("Nowhere" would be UTC under that name), and its own list of zones leaves
// out some of the database's ("Etc/UTC"), so the database's file decides.
bool knownZone(const QString &name)
{
    if (name.startsWith(u'/') || name.split(u'/').contains(QStringLiteral("..")))
        return false;
    const QString database = qEnvironmentVariable("TZDIR", QStringLiteral("/usr/share/zoneinfo"));
    return QTimeZone(name.toUtf8()).isValid() &&
           (QTimeZone::isTimeZoneIdAvailable(name.toUtf8()) ||
            QFileInfo(QDir(database).filePath(name)).isFile());
}

} // namespace

SystemFolders systemFolders()
{
    SystemFolders folders;
    // systemd lists one folder per name it was given, separated by colons.
    const QString state = qEnvironmentVariable("STATE_DIRECTORY").section(u':', 0, 0);
    const QString cache = qEnvironmentVariable("CACHE_DIRECTORY").section(u':', 0, 0);
    if (!state.isEmpty())
        folders.state = state;
    if (!cache.isEmpty())
        folders.cache = cache;
    return folders;
}

common::Expected<ServiceConfig> parseServiceConfig(const QString &text, const QString &folder,
                                                   const SystemFolders &defaults)
{
    std::array<QString, KeyCount> values;
    std::array<int, KeyCount> lineOf{};
    ServiceConfig config;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = common::withoutComment(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        const int number = int(i + 1);
        const QString where = QStringLiteral("line %1: ").arg(number);
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return unusable(where + QStringLiteral("write KEY = VALUE, not '%1'").arg(line));
        const QString name = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        const int key = keyNamed(name);
        if (key < 0)
            return unusable(where + QStringLiteral("unknown key '%1'").arg(name));
        if (lineOf[key] != 0)
            return unusable(
                where + QStringLiteral("%1 is set on line %2 already").arg(name).arg(lineOf[key]));
        if (value.isEmpty())
            return unusable(where + QStringLiteral("%1 needs a value").arg(name));
        values[key] = value;
        lineOf[key] = number;

        if (key == Zone) {
            if (!knownZone(value))
                return unusable(where + QStringLiteral("unknown zone '%1'").arg(value));
            config.setup.zone = QTimeZone(value.toUtf8());
        } else if (key == Links && value.toLower() != QStringLiteral("all")) {
            bool ok = false;
            config.setup.linksAtOnce = value.toInt(&ok);
            if (!ok || config.setup.linksAtOnce < 1 || config.setup.linksAtOnce > kMostLinks)
                return unusable(where + QStringLiteral("links is all or a number from 1 to %1, "
                                                       "not '%2'")
                                            .arg(kMostLinks)
                                            .arg(value));
        } else if (key == Listen && !parseListen(value, config.listenHost, config.listenPort)) {
            return unusable(
                where +
                QStringLiteral("listen is ADDRESS:PORT (IPv6 in brackets), not '%1'").arg(value));
        }
    }
    if ((lineOf[Certificate] == 0) != (lineOf[TlsKey] == 0)) {
        const bool keyMissing = lineOf[TlsKey] == 0;
        return unusable(QStringLiteral("line %1: %2")
                            .arg(keyMissing ? lineOf[Certificate] : lineOf[TlsKey])
                            .arg(keyMissing ? QStringLiteral("a certificate needs its key")
                                            : QStringLiteral("a key needs its certificate")));
    }

    const QDir base(folder);
    const auto path = [&](int key, const QString &otherwise) {
        return values[key].isEmpty() ? otherwise
                                     : QDir::cleanPath(base.absoluteFilePath(values[key]));
    };
    pravik::service::ServiceSetup &setup = config.setup;
    setup.fleetFile = path(Fleet, base.absoluteFilePath(QStringLiteral("fleet.txt")));
    setup.scheduleFile = path(Schedule, base.absoluteFilePath(QStringLiteral("schedule.txt")));
    setup.stateFolder = path(State, defaults.state);
    const QDir state(setup.stateFolder);
    setup.contentFolder = path(Content, state.filePath(QStringLiteral("content")));
    setup.recordFolder = path(Records, QDir(defaults.cache).filePath(QStringLiteral("boards")));
    config.certificate = path(Certificate, QString());
    config.key = path(TlsKey, QString());
    config.tokens = path(Tokens, state.filePath(QStringLiteral("tokens")));
    config.audit = path(Audit, state.filePath(QStringLiteral("audit.log")));
    return config;
}

common::Expected<ServiceConfig> readServiceConfig(const QString &path,
                                                  const SystemFolders &defaults)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unusable(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(file.readAll());
    if (utf8.hasError())
        return unusable(path + QStringLiteral(": the configuration is not UTF-8 text"));
    common::Expected<ServiceConfig> config =
        parseServiceConfig(text, QFileInfo(path).absolutePath(), defaults);
    if (!config)
        return unusable(path + QStringLiteral(": ") + config.failure().text);
    return config;
}

} // namespace pravikd

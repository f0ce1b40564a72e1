#include "board_command_line.h"
#include "commands.h"
#include "terminal_prompter.h"

#include "pravik/document/display_file.h"
#include "pravik/picture/picture_source.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QUrl>

#include <csignal>
#include <httplib.h>

namespace pravik::cli {
namespace {

const char *const kPublishUsage =
    "Usage: pravik-cli publish FILE.lt --to URL [--token-file F] [--ca-file F]\n"
    "\n"
    "Uploads the display file and every picture and text file its screens name\n"
    "to the board service at URL in one request, so that the service can send\n"
    "the file to its boards as it is. The service keeps the display file under\n"
    "its own name (without the folder) and the pictures where it keeps them;\n"
    "the name it stored is printed.\n"
    "\n"
    "  --to URL        the service: http://HOST:PORT or https://HOST:PORT\n"
    "  --token-file F  the file holding the service's API token (default: the\n"
    "                  file named by $PRAVIK_TOKEN_FILE)\n"
    "  --ca-file F     for https: trust the certificates in F (a service with a\n"
    "                  certificate of its own) instead of the system's\n"
    "\n"
    "Exit status: 0 stored, 1 the service refused (its error is printed) or the\n"
    "connection broke off, 2 nothing sent: bad arguments, no token, a display\n"
    "file that cannot be read, a picture that is missing or named outside the\n"
    "display file's folder, a service that cannot be reached.\n";

constexpr int kConnectSeconds = 10;
constexpr int kTransferSeconds = 120;

struct PublishOptions
{
    QString file;
    QUrl url;
    QString tokenFile;
    QString caFile;
};

bool parsePublishOptions(const QStringList &arguments, PublishOptions &options, QString &error)
{
    QString to;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            if (!options.file.isEmpty()) {
                error = QStringLiteral("name one display file, not '%1' too").arg(argument);
                return false;
            }
            options.file = argument;
            continue;
        }
        QString *value = argument == QLatin1String("--to")           ? &to
                         : argument == QLatin1String("--token-file") ? &options.tokenFile
                         : argument == QLatin1String("--ca-file")    ? &options.caFile
                                                                     : nullptr;
        if (!value) {
            error = QStringLiteral("unknown option '%1'").arg(argument);
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + QStringLiteral(" needs a value");
            return false;
        }
        *value = arguments[++i];
    }
    if (options.file.isEmpty() || to.isEmpty()) {
        error = QStringLiteral("give FILE.lt and --to URL");
        return false;
    }
    options.url = QUrl(to, QUrl::StrictMode);
    const QString scheme = options.url.scheme();
    if (!options.url.isValid() || options.url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        error =
            QStringLiteral("--to takes http://HOST:PORT or https://HOST:PORT, not '%1'").arg(to);
        return false;
    }
    if (options.tokenFile.isEmpty())
        options.tokenFile = qEnvironmentVariable("PRAVIK_TOKEN_FILE");
    if (options.tokenFile.isEmpty()) {
        error = QStringLiteral("give --token-file F or set PRAVIK_TOKEN_FILE to the file that "
                               "holds the service's token");
        return false;
    }
    return true;
}

// The token: the file's first line that is neither empty nor a # comment.
QString readToken(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the token file %1: %2").arg(path, file.errorString());
        return {};
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray token = line.trimmed();
        if (!token.isEmpty() && !token.startsWith('#'))
            return QString::fromLatin1(token);
    }
    error = QStringLiteral("the token file %1 holds no token").arg(path);
    return {};
}

// A relative name that climbs out of the display file's folder could not be
// kept inside the service's content folder as it is written.
bool leavesFolder(const QString &picture)
{
    if (QDir::isAbsolutePath(picture))
        return false;
    const QStringList parts = QString(picture).replace(u'\\', u'/').split(u'/');
    return parts.contains(QStringLiteral(".."));
}

// The display file and its pictures as the parts of the upload; false after
// saying which picture is wrong.
bool collectParts(const QString &file, httplib::MultipartFormDataItems &items, Terminal &terminal)
{
    TerminalPrompter prompter(terminal.err);
    document::BoardSettings settings;
    document::ScreenList screens;
    if (document::loadDisplayFile(file, settings, screens, prompter) !=
        document::LoadResult::Loaded) {
        terminal.err << "pravik-cli publish: " << file << " cannot be read as a display file\n";
        return false;
    }
    QFile display(file);
    if (!display.open(QIODevice::ReadOnly)) {
        terminal.err << "pravik-cli publish: cannot read " << file << ": " << display.errorString()
                     << '\n';
        return false;
    }
    items.push_back({"display", display.readAll().toStdString(),
                     QFileInfo(file).fileName().toStdString(), "application/octet-stream"});

    QStringList names;
    for (int row = 1; row <= screens.screenCount(); ++row) {
        const QString picture = screens.entry(row).picture;
        if (!names.contains(picture))
            names << picture;
    }
    for (const QString &name : names) {
        if (leavesFolder(name)) {
            terminal.err << "pravik-cli publish: the picture " << name
                         << " lies outside the display file's folder; the service keeps every "
                            "picture inside its content folder\n";
            return false;
        }
        const QString path = picture::resolveSourcePath(name, file);
        QFile source(path);
        if (!picture::isExistingPictureFile(path) || !source.open(QIODevice::ReadOnly)) {
            terminal.err << "pravik-cli publish: the picture " << name << " (" << path
                         << ") is missing or unreadable; nothing was sent\n";
            return false;
        }
        items.push_back({"picture", source.readAll().toStdString(), name.toUtf8().toStdString(),
                         "application/octet-stream"});
    }
    return true;
}

// Errors before a byte of the upload left: the service was never reached.
bool nothingSent(httplib::Error error)
{
    switch (error) {
    case httplib::Error::Connection:
    case httplib::Error::BindIPAddress:
    case httplib::Error::SSLConnection:
    case httplib::Error::SSLLoadingCerts:
    case httplib::Error::SSLServerVerification:
    case httplib::Error::ConnectionTimeout:
        return true;
    default:
        return false;
    }
}

} // namespace

int runPublish(const QStringList &arguments, Terminal &terminal)
{
    if (arguments.contains(QLatin1String("--help"))) {
        terminal.out << kPublishUsage;
        return ExitOk;
    }
    PublishOptions options;
    QString error;
    if (!parsePublishOptions(arguments, options, error))
        return usageError(terminal, "publish", error, QString::fromLatin1(kPublishUsage));
    const QString token = readToken(options.tokenFile, error);
    if (token.isEmpty()) {
        terminal.err << "pravik-cli publish: " << error << '\n';
        return ExitUsageOrUnreadable;
    }
    httplib::MultipartFormDataItems items;
    if (!collectParts(options.file, items, terminal))
        return ExitUsageOrUnreadable;

    // A service that closes the connection mid-upload must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    const QUrl &url = options.url;
    const bool tls = url.scheme() == QLatin1String("https");
    const QString origin = QStringLiteral("%1://%2:%3")
                               .arg(url.scheme(), url.host(QUrl::FullyEncoded))
                               .arg(url.port(tls ? 443 : 80));
    httplib::Client client(origin.toStdString());
    if (tls && !options.caFile.isEmpty())
        client.set_ca_cert_path(QFile::encodeName(options.caFile).toStdString());
    client.set_connection_timeout(kConnectSeconds);
    client.set_read_timeout(kTransferSeconds);
    client.set_write_timeout(kTransferSeconds);
    QString prefix = url.path(QUrl::FullyEncoded);
    while (prefix.endsWith(u'/'))
        prefix.chop(1);
    const httplib::Headers headers{{"Authorization", "Bearer " + token.toStdString()}};
    const httplib::Result result =
        client.Post((prefix + QStringLiteral("/api/v1/content")).toStdString(), headers, items);
    if (!result) {
        terminal.err << "pravik-cli publish: " << origin << ": "
                     << QString::fromStdString(httplib::to_string(result.error())) << '\n';
        return nothingSent(result.error()) ? ExitUsageOrUnreadable : ExitStoppedWithMessage;
    }
    const QJsonObject answer =
        QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object();
    if (result->status == 201) {
        terminal.out << answer.value(QStringLiteral("file")).toString() << '\n';
        return ExitOk;
    }
    const QString text = answer.contains(QStringLiteral("error"))
                             ? answer.value(QStringLiteral("error")).toString()
                             : QString::fromStdString(result->body).left(200);
    terminal.err << "pravik-cli publish: the service refused the upload (" << result->status
                 << "): " << text << '\n';
    return ExitStoppedWithMessage;
}

} // namespace pravik::cli

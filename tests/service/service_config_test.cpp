#include "command_line.h"
#include "service_config.h"

#include "test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravikd;

namespace {

const SystemFolders kSystemd{QStringLiteral("/run/st"), QStringLiteral("/run/ca")};

QString failureOf(const QString &text)
{
    const common::Expected<ServiceConfig> config =
        parseServiceConfig(text, QStringLiteral("/etc/pravik"), kSystemd);
    return config ? QStringLiteral("<accepted>") : config.failure().text;
}

TEST(ServiceConfig, EveryKeyWithPathsFromTheFilesFolder)
{
    const common::Expected<ServiceConfig> config =
        parseServiceConfig(QStringLiteral("# the shop\n"
                                          "fleet = boards/fleet.txt\n"
                                          "SCHEDULE=/srv/plan#1.txt   # after a space\n"
                                          "  content = ../media\n"
                                          "state = /srv/state\n"
                                          "records = rec\n"
                                          "zone = Europe/Berlin\n"
                                          "links = 3\n"
                                          "listen = [::1]:9000\n"
                                          "certificate = tls/cert.pem\n"
                                          "key = tls/key.pem\n"
                                          "tokens = /srv/tokens\n"
                                          "audit = audit.log\n"),
                           QStringLiteral("/etc/pravik"), kSystemd);
    ASSERT_TRUE(config.ok()) << config.failure().text.toStdString();
    const pravik::service::ServiceSetup &setup = config->setup;
    EXPECT_EQ(setup.fleetFile, "/etc/pravik/boards/fleet.txt");
    EXPECT_EQ(setup.scheduleFile, "/srv/plan#1.txt");
    EXPECT_EQ(setup.contentFolder, "/etc/media");
    EXPECT_EQ(setup.stateFolder, "/srv/state");
    EXPECT_EQ(setup.recordFolder, "/etc/pravik/rec");
    EXPECT_EQ(setup.zone.id(), "Europe/Berlin");
    EXPECT_EQ(setup.linksAtOnce, 3);
    EXPECT_EQ(config->listenHost, "::1");
    EXPECT_EQ(config->listenPort, 9000);
    EXPECT_EQ(config->certificate, "/etc/pravik/tls/cert.pem");
    EXPECT_EQ(config->key, "/etc/pravik/tls/key.pem");
    EXPECT_EQ(config->tokens, "/srv/tokens");
    EXPECT_EQ(config->audit, "/etc/pravik/audit.log");
}

TEST(ServiceConfig, DefaultsFollowSystemdsFoldersAndTheStateFolder)
{
    const struct
    {
        QString text;
        QString content, state, records, tokens, audit;
    } cases[] = {
        {"", "/run/st/content", "/run/st", "/run/ca/boards", "/run/st/tokens", "/run/st/audit.log"},
        {"state = /srv/s\nlinks = all", "/srv/s/content", "/srv/s", "/run/ca/boards",
         "/srv/s/tokens", "/srv/s/audit.log"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const common::Expected<ServiceConfig> config =
            parseServiceConfig(c.text, QStringLiteral("/etc/pravik"), kSystemd);
        ASSERT_TRUE(config.ok());
        EXPECT_EQ(config->setup.fleetFile, "/etc/pravik/fleet.txt");
        EXPECT_EQ(config->setup.scheduleFile, "/etc/pravik/schedule.txt");
        EXPECT_EQ(config->setup.contentFolder, c.content);
        EXPECT_EQ(config->setup.stateFolder, c.state);
        EXPECT_EQ(config->setup.recordFolder, c.records);
        EXPECT_EQ(config->setup.zone, QTimeZone::systemTimeZone());
        EXPECT_EQ(config->setup.linksAtOnce, 0);
        EXPECT_EQ(config->listenHost, "127.0.0.1");
        EXPECT_EQ(config->listenPort, 8787);
        EXPECT_EQ(config->tokens, c.tokens);
        EXPECT_EQ(config->audit, c.audit);
        EXPECT_TRUE(config->certificate.isEmpty() && config->key.isEmpty());
    }
}

TEST(ServiceConfig, TheFirstWrongLineIsNamed)
{
    const struct
    {
        const char *text;
        const char *failure;
    } cases[] = {
        {"fleet fleet.txt", "line 1: write KEY = VALUE, not 'fleet fleet.txt'"},
        {"\n# x\nfleets = a", "line 3: unknown key 'fleets'"},
        {"zone = UTC\nzone = UTC", "line 2: zone is set on line 1 already"},
        {"state =   # none", "line 1: state needs a value"},
        {"zone = Europe/Atlantis", "line 1: unknown zone 'Europe/Atlantis'"},
        {"zone = Nowhere", "line 1: unknown zone 'Nowhere'"},
        {"zone = ../../etc/passwd", "line 1: unknown zone '../../etc/passwd'"},
        {"links = 0", "line 1: links is all or a number from 1 to 64, not '0'"},
        {"links = 65", "line 1: links is all or a number from 1 to 64, not '65'"},
        {"links = two", "line 1: links is all or a number from 1 to 64, not 'two'"},
        {"listen = 127.0.0.1",
         "line 1: listen is ADDRESS:PORT (IPv6 in brackets), not '127.0.0.1'"},
        {"listen = localhost:80", "line 1: listen is ADDRESS:PORT (IPv6 in brackets), not "
                                  "'localhost:80'"},
        {"listen = ::1:80", "line 1: listen is ADDRESS:PORT (IPv6 in brackets), not '::1:80'"},
        {"listen = 0.0.0.0:65536", "line 1: listen is ADDRESS:PORT (IPv6 in brackets), not "
                                   "'0.0.0.0:65536'"},
        {"\ncertificate = c.pem", "line 2: a certificate needs its key"},
        {"key = k.pem", "line 1: a key needs its certificate"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(failureOf(QString::fromUtf8(c.text)), QString::fromUtf8(c.failure));
    }
    for (const char *accepted : {"listen = 0.0.0.0:1\nlinks = 64", "zone = Etc/UTC", "zone = UTC",
                                 "zone = America/Argentina/Buenos_Aires"})
        EXPECT_EQ(failureOf(QString::fromUtf8(accepted)), "<accepted>") << accepted;
}

TEST(ServiceConfig, AFileIsReadFromItsFolderAndItsFailuresNameIt)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("pravikd.conf"));
    ASSERT_TRUE(writeFileBytes(path, "fleet = boards.txt\n"));
    const common::Expected<ServiceConfig> config = readServiceConfig(path, kSystemd);
    ASSERT_TRUE(config.ok());
    EXPECT_EQ(config->setup.fleetFile, folder.filePath(QStringLiteral("boards.txt")));

    ASSERT_TRUE(writeFileBytes(path, "links = \xff\n"));
    EXPECT_EQ(readServiceConfig(path, kSystemd).failure().text,
              path + ": the configuration is not UTF-8 text");
    ASSERT_TRUE(writeFileBytes(path, "\nlinks = none\n"));
    EXPECT_EQ(readServiceConfig(path, kSystemd).failure().text,
              path + ": line 2: links is all or a number from 1 to 64, not 'none'");
    const QString missing = folder.filePath(QStringLiteral("missing.conf"));
    EXPECT_EQ(readServiceConfig(missing, kSystemd).failure().text,
              missing + ": No such file or directory");
}

TEST(ServiceConfig, SystemdsFoldersWinOverTheUsualOnes)
{
    qputenv("STATE_DIRECTORY", "/var/lib/pravik-two:/var/lib/other");
    qunsetenv("CACHE_DIRECTORY");
    const SystemFolders folders = systemFolders();
    EXPECT_EQ(folders.state, "/var/lib/pravik-two");
    EXPECT_EQ(folders.cache, "/var/cache/pravik");
    qunsetenv("STATE_DIRECTORY");
}

TEST(CommandLine, ModesAndTheirOptions)
{
    const struct
    {
        QStringList arguments;
        const char *failure; // empty: accepted
    } cases[] = {
        {{"--config", "a.conf", "--plan", "--from", "2026-10-25", "--hours", "336"}, ""},
        {{"--status", "--json"}, ""},
        {{"--check", "--status"}, "--check, --plan, --status and --new-token exclude each other"},
        {{"--hours", "3"}, "--from and --hours go with --plan"},
        {{"--check", "--from", "x"}, "--from and --hours go with --plan"},
        {{"--plan", "--json"}, "--json goes with --status"},
        {{"--plan", "--hours", "337"}, "--hours is a number from 1 to 336, not '337'"},
        {{"--plan", "--hours", "0"}, "--hours is a number from 1 to 336, not '0'"},
        {{"--config"}, "--config needs a value"},
        {{"--plan", "--from", ""}, "--from needs a value"},
        {{"-c"}, "unknown argument '-c'"},
        {{"now"}, "unknown argument 'now'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const common::Expected<CommandLine> line = parseCommandLine(c.arguments);
        EXPECT_EQ(line ? QString() : line.failure().text, QString::fromUtf8(c.failure));
    }
    const common::Expected<CommandLine> plan =
        parseCommandLine({"--config", "a.conf", "--plan", "--from", "2026-10-25", "--hours", "7"});
    ASSERT_TRUE(plan.ok());
    EXPECT_EQ(plan->mode, CommandLine::Mode::Plan);
    EXPECT_EQ(plan->configFile, "a.conf");
    EXPECT_EQ(plan->from, "2026-10-25");
    EXPECT_EQ(plan->hours, 7);
    const common::Expected<CommandLine> run = parseCommandLine({});
    ASSERT_TRUE(run.ok());
    EXPECT_EQ(run->mode, CommandLine::Mode::Run);
    EXPECT_EQ(run->configFile, "/etc/pravik/pravikd.conf");
    EXPECT_EQ(run->hours, 24);
}

} // namespace

// The audit trail: every request that would change something, refused or
// not, is on disk by the time its answer arrives, with who, from where, what
// and how it ended; never a token or its hash; turned over at its size, and
// read back newest last. (The schedule's actions in it: the end-to-end tests.)
#include "http_fixture.h"

#include "service/http/audit_log.h"

#include <QJsonDocument>

namespace {

QList<QJsonObject> linesOf(const QString &path)
{
    QList<QJsonObject> lines;
    for (const QByteArray &line : readFileBytes(path).split('\n')) {
        if (!line.isEmpty())
            lines.append(QJsonDocument::fromJson(line).object());
    }
    return lines;
}

QJsonObject requestEntry(const char *token, const char *route, int status, const char *outcome)
{
    return {
        {QStringLiteral("time"), QStringLiteral("2026-03-01T12:00:00.000Z")},
        {QStringLiteral("token"), token ? QJsonValue(QString::fromLatin1(token)) : QJsonValue()},
        {QStringLiteral("address"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("method"), QStringLiteral("POST")},
        {QStringLiteral("route"), QString::fromLatin1(route)},
        {QStringLiteral("status"), status},
        {QStringLiteral("outcome"), QString::fromLatin1(outcome)}};
}

class HttpAudit : public HttpFixture
{
};

TEST_F(HttpAudit, EachChangeIsOnDiskWhenItsAnswerArrives)
{
    const struct
    {
        const QString *token;
        const char *route;
        const char *body;
        QJsonObject entry;
    } cases[] = {
        {&operatorToken, "/api/v1/boards/a/clock", "",
         requestEntry("alice", "/api/v1/boards/a/clock", 202, "job 8")},
        {&operatorToken, "/api/v1/send", R"({"boards": ["a", "zz"], "file": "lobby.lt"})",
         requestEntry("alice", "/api/v1/send", 202, "a job 9, zz refused (404)")},
        {&operatorToken, "/api/v1/boards/a/send", R"({"file": "x.lt"})",
         requestEntry("alice", "/api/v1/boards/a/send", 404, "no file x.lt")},
        {&viewerToken, "/api/v1/boards/a/clock", "",
         requestEntry("victor", "/api/v1/boards/a/clock", 403, "the token victor may only look")},
        {nullptr, "/api/v1/boards/a/stop", "",
         requestEntry(nullptr, "/api/v1/boards/a/stop", 401, "send Authorization: Bearer TOKEN")},
    };
    for (int round = 0; round < 4; ++round) {
        for (const auto &c : cases) {
            SCOPED_TRACE(c.route);
            EXPECT_EQ(get("/api/v1/boards", operatorToken)->status, 200); // looking is not written
            const qsizetype before = linesOf(auditFile()).size();
            post(c.route, c.token ? *c.token : QString(), c.body);
            // Read at once: the line must already be there.
            const QList<QJsonObject> lines = linesOf(auditFile());
            ASSERT_EQ(lines.size(), before + 1);
            QJsonObject entry = c.entry;
            if (round > 0 && entry.value(QStringLiteral("status")).toInt() == 202)
                continue; // the job numbers move on; the first round checked them
            EXPECT_EQ(lines.last(), entry);
        }
        steady.advance(std::chrono::seconds(61));
    }
    const QByteArray trail = readFileBytes(auditFile());
    for (const QString &token : {operatorToken, viewerToken}) {
        EXPECT_FALSE(trail.contains(token.toLatin1()));
        EXPECT_FALSE(trail.contains(tokenHash(token.toLatin1()).toHex()));
    }
    EXPECT_EQ(QFileInfo(auditFile()).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
}

TEST_F(HttpAudit, TheTrailTurnsOverAtItsSizeAndReadsBackNewestLast)
{
    RemoteControlConfig small = config();
    small.auditRotateBytes = 600;
    startServer(small);
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(post("/api/v1/boards/a/clock", operatorToken)->status, 202);
    QList<QJsonObject> all;
    for (const char *suffix : {".3", ".2", ".1", ""}) {
        const QString file = auditFile() + QLatin1String(suffix);
        EXPECT_LE(QFileInfo(file).size(), 600) << suffix;
        all += linesOf(file);
    }
    EXPECT_FALSE(QFileInfo::exists(auditFile() + QStringLiteral(".4")));
    ASSERT_GE(all.size(), 8);
    ASSERT_LT(all.size(), 30); // the oldest went
    EXPECT_EQ(all.last().value(QStringLiteral("outcome")), QStringLiteral("job 37"));
    for (qsizetype i = 1; i < all.size(); ++i) // in order across the files
        EXPECT_EQ(all[i].value(QStringLiteral("outcome")).toString(),
                  QStringLiteral("job %1").arg(37 - all.size() + 1 + i));

    const QJsonArray entries =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(get("/api/v1/audit?lines=1000", viewerToken)->body))
            .object()
            .value(QStringLiteral("entries"))
            .toArray();
    ASSERT_EQ(entries.size(), all.size());
    for (qsizetype i = 0; i < all.size(); ++i)
        EXPECT_EQ(entries[i].toObject(), all[i]);
    const QJsonArray two =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(get("/api/v1/audit?lines=2", viewerToken)->body))
            .object()
            .value(QStringLiteral("entries"))
            .toArray();
    EXPECT_EQ(two, (QJsonArray{all[all.size() - 2], all.last()}));
    EXPECT_EQ(get("/api/v1/audit?lines=0", viewerToken)->status, 400);
}

} // namespace

// Tokens: made from the system's random source, shown once, kept only as
// their hash in a file no one else reads; the first start leaves an operator
// token for collection; the server follows the file as it changes.
#include "http_fixture.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace {

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

QFile::Permissions permissions(const QString &path)
{
    return QFileInfo(path).permissions() & (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
}

TEST(Tokens, ANewTokenIsShownOnceAndOnlyItsHashIsKept)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("tokens"));
    const common::Expected<QString> token =
        createToken(file, QStringLiteral("carol"), Role::Viewer);
    ASSERT_TRUE(token.ok());
    // "pvk_" and 24 random bytes, 32 characters of base64url.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^pvk_[A-Za-z0-9_-]{32}$")).match(*token).hasMatch())
        << token->toStdString();
    EXPECT_EQ(permissions(file), kOwnerOnly);
    const QByteArray text = readFileBytes(file);
    EXPECT_TRUE(text.endsWith(
        "carol viewer " +
        QCryptographicHash::hash(token->toLatin1(), QCryptographicHash::Sha256).toHex() + "\n"))
        << text.toStdString();
    EXPECT_FALSE(text.contains(token->toLatin1()));

    const common::Expected<QString> second =
        createToken(file, QStringLiteral("dave"), Role::Operator);
    ASSERT_TRUE(second.ok());
    EXPECT_NE(*second, *token);
    const common::Expected<QList<TokenEntry>> entries = parseTokenFile(readFileBytes(file));
    ASSERT_TRUE(entries.ok());
    ASSERT_EQ(entries->size(), 2);
    EXPECT_EQ(entries->at(1).role, Role::Operator);

    const struct
    {
        const char *name;
        const char *refusal;
    } refused[] = {
        {"carol", "a token named carol is there already"},
        {"", "a token's name is 1 to 64 letters, digits, '.', '_' or '-', not ''"},
        {"two words",
         "a token's name is 1 to 64 letters, digits, '.', '_' or '-', not 'two words'"},
    };
    for (const auto &r : refused) {
        const common::Expected<QString> again =
            createToken(file, QString::fromUtf8(r.name), Role::Operator);
        ASSERT_FALSE(again.ok());
        EXPECT_EQ(again.failure().text, QString::fromUtf8(r.refusal));
    }
    EXPECT_EQ(parseTokenFile(readFileBytes(file))->size(), 2);
}

TEST(Tokens, LinesOfTheFileThatDoNotReadAreNamed)
{
    const QByteArray hash(64, 'a');
    const struct
    {
        QByteArray text;
        const char *failure;
    } cases[] = {
        {"# only a comment\n\nalice operator " + hash + "\n", nullptr},
        {"alice operator\n", "line 1: write NAME ROLE SHA256-HEX"},
        {"\nalice admin " + hash, "line 2: the role is operator or viewer"},
        {"alice operator " + hash.left(63) + "\n", "line 1: the hash is 64 hexadecimal digits"},
        {"alice operator " + QByteArray(64, 'g'), "line 1: the hash is 64 hexadecimal digits"},
        {"a/b viewer " + hash,
         "line 1: a token's name is 1 to 64 letters, digits, '.', '_' or '-'"},
        {"a viewer " + hash + "\na operator " + hash, "line 2: the name a is used twice"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const common::Expected<QList<TokenEntry>> entries = parseTokenFile(c.text);
        if (!c.failure) {
            ASSERT_TRUE(entries.ok());
            EXPECT_EQ(entries->size(), 1);
        } else {
            ASSERT_FALSE(entries.ok());
            EXPECT_EQ(entries.failure().text, QString::fromUtf8(c.failure));
        }
    }
}

class HttpTokens : public HttpFixture
{
protected:
    void SetUp() override {} // no tokens, no server: the test starts it
};

TEST_F(HttpTokens, TheFirstStartLeavesAnOperatorTokenForCollection)
{
    // The state folder need not be there yet: the first start makes it.
    state.setPath(stateDir.filePath(QStringLiteral("state")));
    startServer(config());
    const QString initial = state.filePath(QStringLiteral("initial-token"));
    EXPECT_EQ(permissions(initial), kOwnerOnly);
    EXPECT_EQ(permissions(tokenFile()), kOwnerOnly);
    const QString token = QString::fromLatin1(readFileBytes(initial).trimmed());
    const common::Expected<QList<TokenEntry>> entries = parseTokenFile(readFileBytes(tokenFile()));
    ASSERT_TRUE(entries.ok());
    ASSERT_EQ(entries->size(), 1);
    EXPECT_EQ(entries->at(0).name, QStringLiteral("admin"));
    EXPECT_EQ(entries->at(0).role, Role::Operator);
    EXPECT_EQ(entries->at(0).hash, tokenHash(token.toLatin1()));
    EXPECT_EQ(post("/api/v1/boards/a/clock", token)->status, 202);
    const QString said = log().join(u'\n');
    EXPECT_TRUE(said.contains(initial)) << said.toStdString();
    EXPECT_FALSE(said.contains(token));

    // Once there is a token file, no start makes another token.
    ASSERT_TRUE(QFile::remove(initial));
    startServer(config());
    EXPECT_FALSE(QFileInfo::exists(initial));
    EXPECT_EQ(parseTokenFile(readFileBytes(tokenFile()))->size(), 1);
}

TEST_F(HttpTokens, TheServerFollowsTheTokenFileAsItChanges)
{
    const QString alice = makeToken(QStringLiteral("alice"), Role::Operator);
    startServer(config());
    EXPECT_EQ(get("/api/v1/boards", alice)->status, 200);
    const QString bob = makeToken(QStringLiteral("bob"), Role::Viewer);
    EXPECT_EQ(get("/api/v1/boards", bob)->status, 200);
    EXPECT_EQ(post("/api/v1/boards/a/clock", bob)->status, 403);
    // Striking alice's line out revokes her token at once.
    QByteArray text = readFileBytes(tokenFile());
    text.remove(text.indexOf("alice "),
                text.indexOf('\n', text.indexOf("alice ")) - text.indexOf("alice ") + 1);
    ASSERT_TRUE(writeFileBytes(tokenFile(), text));
    EXPECT_EQ(get("/api/v1/boards", alice)->status, 401);
    EXPECT_EQ(get("/api/v1/boards", bob)->status, 200);
    // A file that no longer reads admits nobody, and says why.
    ASSERT_TRUE(writeFileBytes(tokenFile(), text + "broken\n"));
    EXPECT_EQ(get("/api/v1/boards", bob)->status, 401);
    EXPECT_TRUE(log().join(u'\n').contains(QStringLiteral("no token is accepted")));
}

TEST_F(HttpTokens, AServerThatCannotKeepItsTrailDoesNotStart)
{
    makeToken(QStringLiteral("alice"), Role::Operator);
    RemoteControlConfig noTrail = config();
    noTrail.audit = state.filePath(QStringLiteral("no-such-folder/audit.log"));
    const common::Expected<std::unique_ptr<RemoteControl>> started =
        startRemoteControl(noTrail, service, {});
    ASSERT_FALSE(started.ok());
    EXPECT_TRUE(started.failure().text.startsWith(noTrail.audit));
}

} // namespace

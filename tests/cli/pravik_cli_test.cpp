// Runs the pravik-cli program the way a script would.
#include "test_files.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ProgramRun runCli(const QStringList &arguments, const QByteArray &input = {})
{
    return runProgram(QStringLiteral(PRAVIK_CLI_PATH), arguments, input, 20000);
}

const QString kExample = QStringLiteral(EXAMPLES_DIR "/demo.lt");

} // namespace

TEST(PravikCliShow, PrintsTheExampleReadably)
{
    const ProgramRun run = runCli({QStringLiteral("show"), kExample});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QString out = QString::fromUtf8(run.out);
    EXPECT_TRUE(out.contains(u"Ethernet, 127.0.0.2 port 1973"));
    EXPECT_TRUE(out.contains(u"160 x 32 LEDs, three-colour"));
    EXPECT_TRUE(out.contains(u"about 288 screens"));
    EXPECT_TRUE(out.contains(u"pictures/welcome.txt"));
    EXPECT_TRUE(run.err.isEmpty());
}

TEST(PravikCliShow, JsonThenCreateRebuildsTheSameFile)
{
    const ProgramRun shown = runCli({QStringLiteral("show"), kExample, QStringLiteral("--json")});
    ASSERT_EQ(shown.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(shown.out).object();
    EXPECT_EQ(json["settings"]["scrtype"].toInt(), 2);
    EXPECT_EQ(json["screens"].toArray().size(), 5);
    EXPECT_TRUE(json["messages"].toArray().isEmpty());

    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.lt"));
    const ProgramRun created = runCli({QStringLiteral("create"), copy}, shown.out);
    EXPECT_EQ(created.status, 0) << created.err.toStdString();
    EXPECT_EQ(readFileBytes(copy), readFileBytes(kExample));
}

TEST(PravikCliShow, LoadThatStoppedExitsOneWithItsMessages)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.lt"));
    ASSERT_TRUE(writeFileBytes(path, readFileBytes(kExample).chopped(12)));
    const ProgramRun run = runCli({QStringLiteral("show"), path, QStringLiteral("--json")});
    EXPECT_EQ(run.status, 1);
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["screens"].toArray().size(), 5);
    const QJsonArray messages = json["messages"].toArray();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0]["text"].toString(), QStringLiteral("显示文件错误"));
    EXPECT_EQ(messages[0]["title"].toString(), QStringLiteral("Pravik"));
}

TEST(PravikCliShow, UnreadableFileExitsTwoWithTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.lt"));
    const ProgramRun run = runCli({QStringLiteral("show"), path});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(path));
}

TEST(PravikCliCreate, BadInputWritesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.lt"));
    const QByteArray inputs[] = {
        "not json",
        "[1, 2]",
        R"({"settings": {"scrwidth": 100}})",
        R"({"settings": {}, "screens": [{"picture": "two\nlines.bmp"}]})",
    };
    for (const QByteArray &input : inputs) {
        const ProgramRun run = runCli({QStringLiteral("create"), path}, input);
        EXPECT_EQ(run.status, 2) << input.constData();
        EXPECT_TRUE(run.err.startsWith(u"pravik-cli create: ")) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

TEST(PravikCli, HelpAndUsageErrors)
{
    for (const QStringList &arguments :
         {QStringList{"--help"}, QStringList{"show", "--help"}, QStringList{"create", "--help"}}) {
        const ProgramRun run = runCli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.startsWith("Usage: pravik-cli")) << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(runCli({}).status, 2);
    EXPECT_EQ(runCli({QStringLiteral("fly")}).status, 2);
    EXPECT_EQ(runCli({QStringLiteral("show")}).status, 2);
    EXPECT_EQ(runCli({QStringLiteral("show"), kExample, QStringLiteral("--xml")}).status, 2);
}

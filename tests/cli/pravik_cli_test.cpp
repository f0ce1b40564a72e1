// Runs the pravik-cli program the way a script would.
#include "pravik_cli_run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PravikCliShow, PrintsTheExampleReadably)
{
    const ProgramRun run = runPravikCli({"show", kExampleFile});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    for (const char *line : {"Ethernet, 127.0.0.2 port 1973", "160 x 32 LEDs, three-colour",
                             "about 288 screens", "pictures/welcome.txt"})
        EXPECT_TRUE(run.out.contains(line)) << line;
}

TEST(PravikCliShow, JsonThenCreateRebuildsTheSameFile)
{
    const ProgramRun shown = runPravikCli({"show", kExampleFile, "--json"});
    ASSERT_EQ(shown.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(shown.out).object();
    EXPECT_EQ(json["settings"]["scrtype"].toInt(), 2);
    EXPECT_EQ(json["screens"].toArray().size(), 5);
    EXPECT_TRUE(json["messages"].toArray().isEmpty());

    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.lt"));
    const ProgramRun created = runPravikCli({"create", copy}, shown.out);
    EXPECT_EQ(created.status, 0) << created.err.toStdString();
    EXPECT_EQ(readFileBytes(copy), readFileBytes(kExampleFile));
}

TEST(PravikCliShow, LoadThatStoppedExitsOneWithItsMessages)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.lt"));
    ASSERT_TRUE(writeFileBytes(path, readFileBytes(kExampleFile).chopped(12)));
    const ProgramRun run = runPravikCli({"show", path, "--json"});
    EXPECT_EQ(run.status, 1);
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["screens"].toArray().size(), 5);
    const QJsonArray messages = json["messages"].toArray();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0]["text"].toString(), QStringLiteral("显示文件错误"));
    EXPECT_EQ(messages[0]["title"].toString(), QStringLiteral("Pravik"));
}

// Help goes to standard output with status 0; a wrong command line, a file
// that cannot be read or input that is no display file exits 2, writing
// nothing.
TEST(PravikCli, HelpAndUsageErrors)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.lt"));
    const QString created = dir.filePath(QStringLiteral("new.lt"));
    struct Case
    {
        QStringList arguments;
        QByteArray input;
        int status;
        QString start; // of standard output for status 0, else of standard error
    };
    const Case cases[] = {
        {{"--help"}, {}, 0, "Usage: pravik-cli"},
        {{"show", "--help"}, {}, 0, "Usage: pravik-cli show"},
        {{"create", "--help"}, {}, 0, "Usage: pravik-cli create"},
        {{}, {}, 2, "Usage: pravik-cli"},
        {{"fly"}, {}, 2, "pravik-cli: unknown command 'fly'"},
        {{"show"}, {}, 2, "pravik-cli show: name a display file"},
        {{"show", kExampleFile, "--xml"}, {}, 2, "pravik-cli show: unexpected argument '--xml'"},
        {{"show", missing}, {}, 2, "pravik-cli show: 无法读取显示文件 " + missing},
        {{"create", created}, "not json", 2, "pravik-cli create: "},
        {{"create", created}, "[1, 2]", 2, "pravik-cli create: "},
        {{"create", created}, R"({"settings": {"scrwidth": 100}})", 2, "pravik-cli create: "},
        {{"create", created},
         R"({"settings": {}, "screens": [{"picture": "two\nlines.bmp"}]})",
         2,
         "pravik-cli create: "},
    };
    for (const Case &c : cases) {
        const ProgramRun run = runPravikCli(c.arguments, c.input);
        SCOPED_TRACE(c.arguments.join(u' ').toStdString() + " " + c.input.toStdString());
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE((c.status == 0 ? QString::fromUtf8(run.out) : run.err).startsWith(c.start))
            << run.out.toStdString() << run.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// The compare-file check alone: nothing is sent, so no board is needed.
TEST(PravikCliSend, CompareFileCheckPassesASoundFileAndStopsOnAnyOther)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("gone.lt"));
    const QString broken = dir.filePath(QStringLiteral("broken.lt"));
    ASSERT_TRUE(writeFileBytes(broken, "x\r\n"));
    const std::tuple<QString, int, QStringList> cases[] = {
        {kExampleFile, 0, {}},
        {missing, 1, {"系统错误: " + missing + ": No such file or directory"}},
        {broken, 1, {"Pravik: 错误的比较文件"}}};
    for (const auto &[compare, status, messages] : cases) {
        const ProgramRun run = runPravikCli({"send", kExampleFile, "--compare", compare});
        EXPECT_EQ(run.status, status) << compare.toStdString();
        EXPECT_EQ(run.messages(), messages);
    }
}

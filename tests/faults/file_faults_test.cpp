// Display files that are damaged or cannot be written. The example cut at
// every byte loads in one of the ways the program defines, with its message,
// and whatever was read saves and loads back unchanged.
//
// Saving into a folder without the right to write, or onto a full file
// system, keeps the old file's bytes, leaves nothing else behind, and the
// message names the file and the reason. The tests run as root, for whom no
// folder is read-only, so the save runs in a child process that gives up root
// (or that may write only a few bytes, which is how a full disk answers a
// write).
#include "fault_fixtures.h"

#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pravik;
TEST(DisplayFileFaults, CutAtEveryByteOfTheExample)
{
    const QByteArray whole = readFileBytes(kExampleFile);
    ASSERT_GT(whole.size(), 500);
    const QMap<document::LoadResult, QStringList> messageOf = {
        {document::LoadResult::Loaded, {}},
        {document::LoadResult::NotDisplayFile, {"Pravik|错误的显示文件"}},
        {document::LoadResult::RecordCut, {"Pravik|显示文件错误"}},
    };
    QMap<document::LoadResult, int> outcomes;
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE(length);
        document::BoardSettings settings;
        document::ScreenList screens;
        common::RecordingPrompter prompter;
        const auto result =
            document::loadDisplayFileBytes(whole.left(length), settings, screens, prompter);
        ++outcomes[result];
        ASSERT_TRUE(messageOf.contains(result)) << "no such outcome for a cut file";
        EXPECT_EQ(prompter.titledTexts(), messageOf[result]);
        for (const auto &m : prompter.messages())
            EXPECT_EQ(m.icon, common::MessageIcon::Error);

        if (!document::unsavableField(screens).isEmpty())
            continue;
        const QByteArray saved = document::displayFileBytes(settings, screens);
        document::BoardSettings settingsAgain;
        document::ScreenList screensAgain;
        common::RecordingPrompter quiet;
        EXPECT_EQ(document::loadDisplayFileBytes(saved, settingsAgain, screensAgain, quiet),
                  document::LoadResult::Loaded);
        EXPECT_TRUE(quiet.messages().isEmpty());
        EXPECT_EQ(document::displayFileBytes(settingsAgain, screensAgain), saved);
    }
    for (const auto result : messageOf.keys())
        EXPECT_GT(outcomes[result], 0) << static_cast<int>(result);
}

namespace {

constexpr uid_t kNobody = 65534;

// In the child: write as the unprivileged user nobody. Only root may switch;
// anyone else is already held back by the folder's mode.
void becomeNobody()
{
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
        _exit(120);
}

// In the child: the file system takes 64 bytes, far less than any display
// file, and then refuses, with EFBIG instead of the signal that would end
// the program.
void diskNearlyFull()
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        _exit(121);
}

// Runs Pravik's Save of three screens in a forked child under the given
// restriction: true when it failed showing the one message expected
// ("title|text"). What it did instead goes to standard error.
bool saveInChildFailsWith(const QString &path, void (*restrict)(), const QString &expected)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        restrict();
        document::ScreenList screens;
        document::initScreenList(screens);
        for (int r = 1; r <= 3; ++r)
            screens.setText(r, document::PictureColumn, QStringLiteral("new%1.bmp").arg(r));
        common::RecordingPrompter prompter;
        const bool saved = document::saveDisplayFile(path, {}, screens, prompter);
        if (!saved && prompter.titledTexts() == QStringList{expected})
            _exit(0);
        std::fprintf(stderr, "saved: %d, shown: %s\n", saved,
                     prompter.titledTexts().join(u'/').toUtf8().constData());
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SaveFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // nobody must be able to reach the folder, but not to write in it.
        ASSERT_EQ(chmod(QFile::encodeName(top.path()).constData(), 0755), 0);
        ASSERT_TRUE(QDir(top.path()).mkdir(QStringLiteral("signs")));
        ASSERT_TRUE(writeFileBytes(oldFile(), "the old display file"));
        // The old file is nobody's own, so that only the folder stands in the
        // way of replacing it.
        if (geteuid() == 0) {
            ASSERT_EQ(chown(QFile::encodeName(oldFile()).constData(), kNobody, kNobody), 0);
        }
        before = snapshot(folder());
    }

    void TearDown() override { chmod(QFile::encodeName(folder()).constData(), 0755); }

    QString folder() const { return top.filePath(QStringLiteral("signs")); }
    QString oldFile() const { return top.filePath(QStringLiteral("signs/board.lt")); }

    // Pravik's Save and `pravik-cli create` (exit 2) both fail under the
    // restriction with the system's reason; the old file keeps its bytes, no
    // temporary file is left beside it, and saving goes on working where the
    // disk lets it.
    void expectSaveFailsKeepingTheOldFile(void (*restrict)(), const char *reason) const
    {
        const QString text = QStringLiteral("无法保存显示文件 %1\n%2\n原来的文件没有改变。")
                                 .arg(oldFile(), QLatin1String(reason));
        EXPECT_TRUE(saveInChildFailsWith(oldFile(), restrict, "Pravik|" + text));
        EXPECT_EQ(snapshot(folder()), before);

        const QByteArray input = R"({"settings": {"port": 1}, "screens": [
            {"picture": "new1.bmp"}, {"picture": "new2.bmp"}, {"picture": "new3.bmp"}]})";
        const ProgramRun run = runPravikCli({"create", oldFile()}, input, restrict);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.trimmed(), "pravik-cli create: " + text);
        EXPECT_EQ(snapshot(folder()), before);

        const QString elsewhere = top.filePath(QStringLiteral("elsewhere.lt"));
        EXPECT_EQ(runPravikCli({"create", elsewhere}, input).status, 0);
        EXPECT_EQ(runPravikCli({"show", elsewhere}).status, 0);
    }

    QTemporaryDir top;
    FolderSnapshot before;
};

} // namespace

TEST_F(SaveFaults, ReadOnlyFolderKeepsTheOldFile)
{
    ASSERT_EQ(chmod(QFile::encodeName(folder()).constData(), 0555), 0);
    expectSaveFailsKeepingTheOldFile(becomeNobody, "Permission denied");
}

TEST_F(SaveFaults, FullDiskKeepsTheOldFile)
{
    expectSaveFailsKeepingTheOldFile(diskNearlyFull, "File too large");
}

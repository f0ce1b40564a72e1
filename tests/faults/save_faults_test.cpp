// Saving a display file where it cannot be written: into a folder without
// the right to write, and onto a full file system. The old file keeps its
// bytes, nothing else is left behind, and the message names the file and the
// reason. The tests run as root, for whom no folder is read-only, so the
// save runs in a child process that gives up root (or that may write only a
// few bytes, which is how a full disk answers a write).
#include "fault_fixtures.h"

#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pravik;
using namespace faults;

namespace {

constexpr uid_t kNobody = 65534;
constexpr rlim_t kFewBytes = 64; // far less than any display file

// In the child: write as the unprivileged user nobody. Only root may switch;
// anyone else is already held back by the folder's mode.
void becomeNobody()
{
    if (geteuid() != 0)
        return;
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
        _exit(120);
}

// In the child: the file system takes a few bytes and then refuses, with
// EFBIG instead of the signal that would end the program.
void diskNearlyFull()
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{kFewBytes, kFewBytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        _exit(121);
}

document::ScreenList screensNamed(const QStringList &pictures)
{
    document::ScreenList list;
    document::initScreenList(list);
    for (int r = 1; r <= pictures.size(); ++r)
        list.setText(r, document::PictureColumn, pictures[r - 1]);
    return list;
}

struct ChildSave
{
    bool saved = true;
    QString title;
    QString text;
};

// Runs Pravik's Save in a forked child under the given restriction and
// brings back what it reported.
ChildSave saveInChild(const QString &path, void (*restrict)())
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        restrict();
        common::RecordingPrompter prompter;
        const bool saved =
            document::saveDisplayFile(path, document::BoardSettings{},
                                      screensNamed({"new1.bmp", "new2.bmp", "new3.bmp"}), prompter);
        QByteArray report = saved ? "1" : "0";
        for (const auto &m : prompter.messages())
            report += '\0' + m.title.toUtf8() + '\0' + m.text.toUtf8();
        const ssize_t written =
            write(pipeEnds[1], report.constData(), static_cast<size_t>(report.size()));
        _exit(written == report.size() ? 0 : 122);
    }
    close(pipeEnds[1]);
    QByteArray report;
    char chunk[4096];
    for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        report.append(chunk, got);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const QList<QByteArray> parts = report.split('\0');
    ChildSave result;
    result.saved = parts.value(0) == "1";
    if (parts.size() >= 3) {
        result.title = QString::fromUtf8(parts[1]);
        result.text = QString::fromUtf8(parts[2]);
    }
    EXPECT_LE(parts.size(), 3) << "one message at most";
    return result;
}

const QByteArray kCreateInput =
    R"({"settings": {"port": 1}, "screens": [{"picture": "new1.bmp"}, {"picture": "new2.bmp"},
        {"picture": "new3.bmp"}]})";

class SaveFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // nobody must be able to reach the folder, but not to write in it.
        ASSERT_EQ(chmod(QFile::encodeName(top.path()).constData(), 0755), 0);
        ASSERT_TRUE(QDir(top.path()).mkdir(QStringLiteral("signs")));
        common::RecordingPrompter quiet;
        ASSERT_TRUE(document::saveDisplayFile(oldFile(), document::BoardSettings{},
                                              screensNamed({"old.bmp"}), quiet));
        // The old file is nobody's own, so that only the folder stands in the
        // way of replacing it.
        if (geteuid() == 0) {
            ASSERT_EQ(chown(QFile::encodeName(oldFile()).constData(), kNobody, kNobody), 0);
        }
        oldBytes = fileBytes(oldFile());
        before = snapshot(folder());
    }

    void TearDown() override { chmod(QFile::encodeName(folder()).constData(), 0755); }

    QString folder() const { return top.filePath(QStringLiteral("signs")); }
    QString oldFile() const { return top.filePath(QStringLiteral("signs/board.lt")); }

    void makeFolderReadOnly() const
    {
        ASSERT_EQ(chmod(QFile::encodeName(folder()).constData(), 0555), 0);
    }

    // The old file is as it was and no temporary file is left beside it.
    void expectOldFileKept() const
    {
        EXPECT_EQ(fileBytes(oldFile()), oldBytes);
        EXPECT_EQ(snapshot(folder()), before);
    }

    // Saving goes on working where the disk lets it.
    void expectSaveWorksElsewhere() const
    {
        const QString elsewhere = top.filePath(QStringLiteral("elsewhere.lt"));
        const CliRun run = runCli({"create", elsewhere}, kCreateInput);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(runCli({"show", elsewhere}).status, 0);
    }

    QTemporaryDir top;
    QByteArray oldBytes;
    FolderSnapshot before;
};

QString cannotSave(const QString &path, const char *reason)
{
    return QStringLiteral("无法保存显示文件 %1\n%2\n原来的文件没有改变。")
        .arg(path, QLatin1String(reason));
}

} // namespace

TEST_F(SaveFaults, ReadOnlyFolderKeepsTheOldFile)
{
    makeFolderReadOnly();
    const ChildSave save = saveInChild(oldFile(), becomeNobody);
    EXPECT_FALSE(save.saved);
    EXPECT_EQ(save.title, QStringLiteral("Pravik"));
    EXPECT_EQ(save.text, cannotSave(oldFile(), "Permission denied"));
    expectOldFileKept();
    expectSaveWorksElsewhere();
}

TEST_F(SaveFaults, FullDiskKeepsTheOldFile)
{
    const ChildSave save = saveInChild(oldFile(), diskNearlyFull);
    EXPECT_FALSE(save.saved);
    EXPECT_EQ(save.title, QStringLiteral("Pravik"));
    EXPECT_EQ(save.text, cannotSave(oldFile(), "File too large"));
    expectOldFileKept();
    expectSaveWorksElsewhere();
}

TEST_F(SaveFaults, CliCreateIntoAReadOnlyFolder)
{
    makeFolderReadOnly();
    const CliRun run = runCli({"create", oldFile()}, kCreateInput, becomeNobody);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.messages.join(u'\n'),
              QStringLiteral("pravik-cli create: ") + cannotSave(oldFile(), "Permission denied"));
    expectOldFileKept();
    expectSaveWorksElsewhere();
}

TEST_F(SaveFaults, CliCreateOntoAFullDisk)
{
    const CliRun run = runCli({"create", oldFile()}, kCreateInput, diskNearlyFull);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.messages.join(u'\n'),
              QStringLiteral("pravik-cli create: ") + cannotSave(oldFile(), "File too large"));
    expectOldFileKept();
    expectSaveWorksElsewhere();
}

// Damaged input files: a display file cut at every byte, pictures cut short
// or with spoilt bytes, a compare file gone since it was chosen. Each ends in
// one of the outcomes the program defines, with its message, and changes
// nothing on disk.
#include "fault_fixtures.h"

#include "pravik/document/display_file.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/picture_source.h"

#include "common/recording_prompter.h"

#include <QBuffer>
#include <QImage>

using namespace pravik;
using namespace faults;

namespace {

const QString kExample = QStringLiteral(EXAMPLES_DIR "/demo.lt");
const QString kPictures = QStringLiteral(EXAMPLES_DIR "/pictures/");

QStringList messageTexts(const common::RecordingPrompter &prompter)
{
    QStringList texts;
    for (const auto &m : prompter.messages())
        texts << m.title + u'|' + m.text;
    return texts;
}

using picture::SourceResult;

struct Drawing
{
    SourceResult result;
    QImage canvas;
};

// Draws a file's bytes as a screen source on the example board's canvas;
// the name's last three letters give the type.
Drawing draw(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    // A new file each time: replacing a file's contents in place makes ext4
    // write it out to the disk at once, thousands of times over.
    QFile::remove(path);
    EXPECT_TRUE(writeFile(path, bytes));
    picture::BoardCanvas canvas(160, 32, 616);
    const SourceResult result = picture::loadSource(path, canvas);
    return Drawing{result, canvas.composed()};
}

} // namespace

TEST(DisplayFileFaults, CutAtEveryByteOfTheExample)
{
    const QByteArray whole = fileBytes(kExample);
    ASSERT_GT(whole.size(), 500);
    QMap<document::LoadResult, int> outcomes;
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE(length);
        document::BoardSettings settings;
        document::ScreenList screens;
        common::RecordingPrompter prompter;
        const auto result =
            document::loadDisplayFileBytes(whole.left(length), settings, screens, prompter);
        ++outcomes[result];
        switch (result) {
        case document::LoadResult::Loaded:
            EXPECT_TRUE(prompter.messages().isEmpty());
            break;
        case document::LoadResult::NotDisplayFile:
            EXPECT_EQ(messageTexts(prompter), QStringList{"Pravik|错误的显示文件"});
            break;
        case document::LoadResult::RecordCut:
            EXPECT_EQ(messageTexts(prompter), QStringList{"Pravik|显示文件错误"});
            break;
        default:
            ADD_FAILURE() << "no such outcome for a cut file";
        }
        for (const auto &m : prompter.messages())
            EXPECT_EQ(m.icon, common::MessageIcon::Error);

        // What was read can be saved and read back as it was.
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
    EXPECT_GT(outcomes[document::LoadResult::NotDisplayFile], 0);
    EXPECT_GT(outcomes[document::LoadResult::RecordCut], 0);
    EXPECT_GT(outcomes[document::LoadResult::Loaded], 0);
}

TEST(DisplayFileFaults, CliShowOfACutFileStopsWithTheMessage)
{
    QTemporaryDir dir;
    const QByteArray whole = fileBytes(kExample);
    const QString cut = dir.filePath(QStringLiteral("cut.lt"));
    // Inside the settings part, then inside the third record.
    const qsizetype inSettings = whole.indexOf("scrtype");
    const qsizetype inRecord = whole.indexOf("pictures/sale.pcx") + 4;
    for (const auto &[length, message] :
         {std::pair{inSettings, QStringLiteral("Pravik: 错误的显示文件")},
          std::pair{inRecord, QStringLiteral("Pravik: 显示文件错误")}}) {
        ASSERT_TRUE(writeFile(cut, whole.left(length)));
        const FolderSnapshot before = snapshot(dir.path());
        const CliRun run = runCli({"show", cut});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.messages, QStringList{message});
        EXPECT_EQ(snapshot(dir.path()), before);
    }
    // And the program goes on reading sound files.
    EXPECT_EQ(runCli({"show", kExample}).status, 0);
}

TEST(PictureFaults, ExamplePicturesCutAtEveryByte)
{
    // A cut picture is refused, or, when only bytes after the picture data
    // are missing, drawn exactly as the whole file: never part of a picture.
    // Texts cut short are shorter texts.
    QTemporaryDir dir;
    // The example's first picture as JPEG and PNG too.
    QMap<QString, QByteArray> converted;
    for (const char *format : {"jpg", "png"}) {
        QBuffer buffer(&converted[QStringLiteral("welcome.") + QLatin1String(format)]);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(QImage(kPictures + QStringLiteral("welcome.bmp")).save(&buffer, format));
    }
    for (const QString name : {"welcome.bmp", "exit.gif", "sale.pcx", "welcome.jpg", "welcome.png",
                               "welcome.txt", "notice.rtf"}) {
        const QByteArray whole =
            converted.contains(name) ? converted.value(name) : fileBytes(kPictures + name);
        const Drawing full = draw(dir, name, whole);
        ASSERT_EQ(full.result.status, SourceResult::Status::Drawn) << name.toStdString();
        const bool isText =
            name.endsWith(QLatin1String("txt")) || name.endsWith(QLatin1String("rtf"));
        int refused = 0;
        for (qsizetype length = 0; length < whole.size(); ++length) {
            const Drawing cut = draw(dir, name, whole.left(length));
            if (cut.result.status == SourceResult::Status::Unreadable) {
                EXPECT_FALSE(cut.result.reason.isEmpty()) << name.toStdString() << " " << length;
                ++refused;
                continue;
            }
            ASSERT_EQ(cut.result.status, SourceResult::Status::Drawn);
            if (!isText) {
                EXPECT_EQ(cut.canvas, full.canvas) << name.toStdString() << " cut at " << length;
            }
        }
        if (!isText) {
            EXPECT_GT(refused, whole.size() / 2) << name.toStdString();
        }
    }
}

TEST(PictureFaults, ExamplePicturesWithASpoiltByte)
{
    // Every byte in turn (the first 256 of the BMP, whose rest is plain
    // pixels) turned into its complement: drawn or refused with a reason.
    QTemporaryDir dir;
    for (const QString name : {"welcome.bmp", "exit.gif", "sale.pcx", "notice.rtf"}) {
        const QByteArray whole = fileBytes(kPictures + name);
        const qsizetype last = name.endsWith(QLatin1String("bmp")) ? 256 : whole.size();
        for (qsizetype at = 0; at < last; ++at) {
            QByteArray spoilt = whole;
            spoilt[at] = static_cast<char>(~spoilt[at]);
            const Drawing drawn = draw(dir, name, spoilt);
            if (drawn.result.status == SourceResult::Status::Unreadable) {
                EXPECT_FALSE(drawn.result.reason.isEmpty()) << name.toStdString() << " " << at;
            } else {
                EXPECT_EQ(drawn.result.status, SourceResult::Status::Drawn);
            }
        }
    }
}

TEST(PictureFaults, CliSendStopsAtACutOrSpoiltPicture)
{
    ExampleCopy example;
    const QString first = example.picture(QStringLiteral("welcome.bmp"));
    const QString second = example.picture(QStringLiteral("exit.gif"));
    const QByteArray firstBytes = fileBytes(first);
    const QByteArray secondBytes = fileBytes(second);

    // The first picture cut short: nothing goes out.
    ASSERT_TRUE(writeFile(first, firstBytes.left(firstBytes.size() - 100)));
    FolderSnapshot before = snapshot(example.folder());
    {
        LedboardSim sim(exampleBoard(false));
        const CliRun run =
            runCli({"send", example.displayFile(), "--yes", "--link", serialLink(sim)});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.messages,
                  QStringList{"系统错误: pictures/welcome.bmp: The picture data ends early "
                              "(truncated file?)"});
        sim.stop();
        EXPECT_TRUE(sim.frames().isEmpty());
    }
    EXPECT_EQ(snapshot(example.folder()), before);

    // The second picture's signature spoilt: the first screen goes out, then
    // the job stops without the start question.
    ASSERT_TRUE(writeFile(first, firstBytes));
    ASSERT_TRUE(writeFile(second, QByteArray(6, 'x') + secondBytes.mid(6)));
    before = snapshot(example.folder());
    {
        LedboardSim sim(exampleBoard(false));
        const CliRun run =
            runCli({"send", example.displayFile(), "--yes", "--link", serialLink(sim)});
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(run.messages.size(), 1);
        EXPECT_TRUE(run.messages[0].startsWith(QStringLiteral("系统错误: pictures/exit.gif: ")));
        EXPECT_GT(run.messages[0].size(), QStringLiteral("系统错误: pictures/exit.gif: ").size());
        sim.stop();
        EXPECT_EQ(sim.frames().size(), 13); // the first screen: 12 picture packets, properties
    }
    EXPECT_EQ(snapshot(example.folder()), before);

    // Mended, the file goes out whole.
    ASSERT_TRUE(writeFile(second, secondBytes));
    LedboardSim sound(exampleBoard(false));
    const CliRun run =
        runCli({"send", example.displayFile(), "--yes", "--link", serialLink(sound)});
    EXPECT_EQ(run.status, 0);
    sound.stop();
    EXPECT_EQ(sound.frames().size(), 66);
}

TEST(CompareFileFaults, CliCompareFileDeletedAfterItWasNamed)
{
    ExampleCopy example;
    const QString compare = QDir(example.folder()).filePath(QStringLiteral("gone.lt"));
    const FolderSnapshot before = snapshot(example.folder());
    LedboardSim sim(exampleBoard(false));
    const CliRun run =
        runCli({"send", example.displayFile(), "--compare", compare, "--link", serialLink(sim)});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.messages,
              QStringList{QStringLiteral("系统错误: %1: No such file or directory").arg(compare)});
    EXPECT_EQ(snapshot(example.folder()), before);
    // A compare file that is there passes silently, and nothing is sent either way.
    const CliRun sound = runCli({"send", example.displayFile(), "--compare", example.displayFile(),
                                 "--link", serialLink(sim)});
    EXPECT_EQ(sound.status, 0);
    EXPECT_TRUE(sound.messages.isEmpty());
    sim.stop();
    EXPECT_TRUE(sim.frames().isEmpty());
}

#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/jobs/board_ledger.h"
#include "pravik/jobs/board_record_file.h"
#include "pravik/jobs/job_messages.h"
#include "pravik/jobs/job_view.h"
#include "pravik/jobs/screen_transfer.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/picture/board_canvas.h"

#include "common/recording_prompter.h"

#include "test_files.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::jobs;

namespace {

class RecordingView : public JobView
{
public:
    void beginTransfer(int maximum) override { calls << QStringLiteral("begin %1").arg(maximum); }
    void showScreen(int row, const QString &caption, const picture::BoardCanvas &) override
    {
        calls << QStringLiteral("show %1").arg(row);
        captions << caption;
    }
    void setProgress(int value) override { lastProgress = value; }
    void endTransfer(bool restore) override { calls << (restore ? "end restore" : "end"); }

    QStringList calls;
    QStringList captions;
    int lastProgress = -1;
};

// A single-colour 64 x 16 board on COM2 that echoes every packet but number
// `failAt`; each packet is kept with its checksum filled in.
class JobsTest : public ::testing::Test
{
protected:
    JobsTest()
    {
        document::fillVocabulary(vocabulary);
        document::initScreenList(screens);
        settings.port = 2;
        settings.scrtype = 1;
        settings.scrwidth = 64;
        settings.scrhigh = 16;
    }

    // Screens whose pictures exist beside the display file.
    void addScreens(int count)
    {
        QImage picture(64, 16, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("p1.bmp"))));
        for (int r = 1; r <= count; ++r) {
            const QString name = QStringLiteral("p%1.bmp").arg(r);
            QFile::copy(folder.filePath(QStringLiteral("p1.bmp")), folder.filePath(name));
            screens.setText(r, document::PictureColumn, name);
        }
    }

    common::Status echo(QByteArray &packet, int checksumIndex)
    {
        unsigned sum = 0;
        for (int i = 0; i < checksumIndex; ++i)
            sum += static_cast<std::uint8_t>(packet[i]);
        packet[checksumIndex] = static_cast<char>(sum);
        packets << packet;
        if (packets.size() == stopAt)
            stop.requestStop(quietStop);
        if (packets.size() != failAt)
            return {};
        return common::Failure{4, QStringLiteral("超时"), QStringLiteral("请检查线路"),
                               common::MessageIcon::Information};
    }

    // The job's result, once its failure and closing notice are shown as a
    // window would.
    JobResult told(const JobResult &result)
    {
        tellEnding(prompter, result);
        return result;
    }

    // The packets sent, each as "command screen".
    QStringList commands() const
    {
        QStringList result;
        for (const QByteArray &p : packets)
            result << QStringLiteral("%1 %2").arg(int(p[0])).arg(int(p[1]));
        return result;
    }

    QTemporaryDir folder;
    document::BoardSettings settings;
    document::ScreenList screens;
    document::Vocabulary vocabulary;
    QString displayFile = folder.filePath(QStringLiteral("show.lt"));
    QString compareFile;
    picture::BoardCanvas canvas{64, 16, 616};
    QList<QByteArray> packets;
    int failAt = 0;
    int stopAt = 0; // the operator stops while this packet is on the wire
    bool quietStop = false;
    bool portOpen = true;
    common::RecordingPrompter prompter;
    RecordingView view;
    picture::PacketExchange exchange = std::bind_front(&JobsTest::echo, this);
    std::function<bool()> portIsOpen = [this] { return portOpen; };
    StopToken stop;
    JobContext job{settings, screens,    vocabulary, displayFile, compareFile, canvas,
                   exchange, portIsOpen, prompter,   view,        stop};
};

QStringList picturesThenProperties(int screens)
{
    QStringList expected;
    for (int s = 0; s < screens; ++s)
        expected << QStringLiteral("18 %1").arg(s) << QStringLiteral("18 %1").arg(s)
                 << QStringLiteral("4 %1").arg(s);
    return expected;
}

} // namespace

TEST_F(JobsTest, SendAllSendsEveryScreenThenTheDisplayCommandOnYesWithThePortOpen)
{
    addScreens(3);
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::Completed);
    EXPECT_EQ(commands(), picturesThenProperties(3) + QStringList{"1 0"});
    // Display three screens from screen 0; the checksum is 04.
    EXPECT_EQ(packets.last(), QByteArray::fromHex("01000000000003000000000000000000000000000004"));
    EXPECT_EQ(prompter.titledTexts(),
              (QStringList{"发送显示命令|    开始显示从0幕开始, 3幕画面  ", "Pravik|发送成功"}));
    EXPECT_EQ(prompter.messages()[0].buttons, common::MessageButtons::YesNo);
    EXPECT_EQ(view.calls, (QStringList{"begin 16", "show 1", "show 2", "show 3", "end restore"}));
    EXPECT_EQ(view.captions[2], QStringLiteral("地址:  1   COM 2   第  3 幕"));
    EXPECT_EQ(view.lastProgress, 15);

    // No to the question sends everything but the display command.
    packets.clear();
    prompter = common::RecordingPrompter(
        [](const common::Message &) { return common::MessageAnswer::No; });
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::Declined);
    EXPECT_EQ(commands(), picturesThenProperties(3));
    EXPECT_EQ(prompter.messages().size(), 1);

    // A serial port closed by then gets no display command either.
    packets.clear();
    prompter = common::RecordingPrompter();
    portOpen = false;
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::Failed);
    EXPECT_EQ(commands(), picturesThenProperties(3));
    EXPECT_EQ(prompter.titledTexts().last(), QStringLiteral("Pravik|请设置通讯端口"));
}

TEST_F(JobsTest, AFailedExchangeOrAMissingPictureStopsSendAll)
{
    addScreens(3);
    failAt = 4; // the first picture packet of screen 1
    const JobResult result = told(sendAll(job));
    EXPECT_EQ(result.outcome, JobOutcome::Failed);
    ASSERT_TRUE(result.failure.has_value());
    EXPECT_EQ(result.failure->code, 4);
    EXPECT_EQ(packets.size(), 4);
    EXPECT_EQ(prompter.titledTexts(), QStringList{"超时|请检查线路"});
    prompter.clear();
    EXPECT_EQ(view.calls.last(), QStringLiteral("end restore"));

    failAt = 0;
    packets.clear();
    screens.setText(2, document::PictureColumn, QStringLiteral("gone.bmp"));
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::Failed);
    EXPECT_EQ(commands(), picturesThenProperties(1));
    EXPECT_EQ(prompter.titledTexts(), QStringList{"Pravik|  不存在的文件名gone.bmp"});
    EXPECT_EQ(view.calls.last(), QStringLiteral("end restore"));
}

TEST_F(JobsTest, PreconditionsOfSendAll)
{
    displayFile.clear();
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::Failed);
    EXPECT_EQ(prompter.titledTexts(), QStringList{"错误|未调入显示文件"});
    EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Error);

    prompter.clear();
    displayFile = folder.filePath(QStringLiteral("show.lt"));
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::NothingToSend); // first row without a picture
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(view.calls.isEmpty());
    EXPECT_TRUE(packets.isEmpty());
}

TEST_F(JobsTest, CompareFileSetMeansNothingIsSent)
{
    addScreens(3);
    compareFile = folder.filePath(QStringLiteral("missing-compare.lt"));
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::Failed);
    EXPECT_TRUE(packets.isEmpty());
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("系统错误"));
    EXPECT_EQ(view.calls, (QStringList{"begin 16", "end restore"}));
}

TEST_F(JobsTest, FullListOf239ScreensEndsWithTheQuestion)
{
    settings.scrwidth = 8;
    settings.scrhigh = 1;
    canvas = picture::BoardCanvas(8, 1, 616);
    addScreens(239);
    EXPECT_EQ(told(sendAll(job)).outcome, JobOutcome::Completed);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("    开始显示从0幕开始, 239幕画面  "));
    EXPECT_EQ(static_cast<std::uint8_t>(packets.last()[6]), 239);
}

TEST_F(JobsTest, OneScreenSendsPictureAndPropertiesSilently)
{
    addScreens(5);
    settings.port = 0;
    EXPECT_EQ(told(sendSpecifiedPicture(job, 5)).outcome, JobOutcome::Completed);
    EXPECT_EQ(commands(), (QStringList{"18 4", "18 4", "4 4"}));
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(view.captions, QStringList{"屏幕IP:  1  第 5 幕"});

    packets.clear();
    EXPECT_EQ(told(sendSpecifiedPicture(job, 6)).outcome, JobOutcome::NothingToSend);
    EXPECT_EQ(view.calls.last(), QStringLiteral("end restore"));
    screens.setText(2, document::PictureColumn, QStringLiteral("gone.bmp"));
    EXPECT_EQ(told(sendSpecifiedPicture(job, 2)).outcome, JobOutcome::Failed);
    EXPECT_TRUE(packets.isEmpty());
    EXPECT_EQ(prompter.titledTexts(), QStringList{"Pravik|不存在的图形文件名gone.bmp"});
}

TEST_F(JobsTest, PropertiesOfEveryScreenThenSuccess)
{
    addScreens(4);
    EXPECT_EQ(told(sendAllProperties(job)).outcome, JobOutcome::Completed);
    EXPECT_EQ(commands(), (QStringList{"4 0", "4 1", "4 2", "4 3"}));
    EXPECT_EQ(prompter.titledTexts(), QStringList{"Pravik|发送成功"});

    prompter.clear();
    packets.clear();
    screens.setText(3, document::PictureColumn, QStringLiteral("gone.bmp"));
    EXPECT_EQ(told(sendAllProperties(job)).outcome, JobOutcome::Failed);
    EXPECT_EQ(commands(), (QStringList{"4 0", "4 1"}));
    EXPECT_EQ(prompter.titledTexts(), QStringList{"Pravik|不存在的图形文件名gone.bmp"});
}

// A folder (".", the display file's own) is no picture: each job tells it as
// its missing file, after the screens before it, and restores the window.
TEST_F(JobsTest, AFolderNamedForAPictureIsAMissingFileToEveryJob)
{
    addScreens(3);
    screens.setText(2, document::PictureColumn, QStringLiteral("."));
    for (const JobResult &result :
         {told(sendAll(job)), told(sendSpecifiedPicture(job, 2)), told(sendAllProperties(job))})
        EXPECT_EQ(result.outcome, JobOutcome::Failed);
    EXPECT_EQ(commands(), picturesThenProperties(1) + QStringList{"4 0"});
    EXPECT_EQ(prompter.texts(),
              (QStringList{"  不存在的文件名.", "不存在的图形文件名.", "不存在的图形文件名."}));
    EXPECT_EQ(view.calls.count(QStringLiteral("end restore")), 3);
}

TEST_F(JobsTest, AStopEndsEachJobAfterThePacketOnTheWireAndTellsHowFarTheBoardGot)
{
    addScreens(3);
    struct Case
    {
        std::function<JobResult(JobContext &)> job;
        int stopAt;
        bool quiet;
        int packetsSent;
        int screensSent;
        bool frameFails = false; // the frame on the wire is not answered
    };
    const auto all = [](JobContext &j) { return sendAll(j); };
    const Case cases[] = {
        {all, 3, false, 3, 1},       // after screen 0's properties
        {all, 4, false, 4, 1},       // in screen 1's picture
        {all, 9, false, 9, 3},       // on the last frame: no display question
        {all, 5, true, 5, 1},        // closing: nothing told
        {all, 4, false, 4, 1, true}, // the time-out is told, then how far the board got
        {[](JobContext &j) { return sendAllProperties(j); }, 2, false, 2, 2},
        {[](JobContext &j) { return sendSpecifiedPicture(j, 2); }, 1, false, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stopAt);
        stop.reset();
        packets.clear();
        prompter.clear();
        view.calls.clear();
        stopAt = c.stopAt;
        failAt = c.frameFails ? c.stopAt : 0;
        quietStop = c.quiet;
        const JobResult result = told(c.job(job));
        EXPECT_EQ(result.outcome, c.frameFails ? JobOutcome::Failed : JobOutcome::Cancelled);
        EXPECT_EQ(result.screensSent, c.screensSent);
        EXPECT_EQ(packets.size(), c.packetsSent);
        QStringList told;
        if (c.frameFails)
            told << QStringLiteral("超时|请检查线路");
        if (!c.quiet)
            told << QStringLiteral("Pravik|已停止发送，%1 幕画面已送到屏幕").arg(c.screensSent);
        EXPECT_EQ(prompter.titledTexts(), told);
        ASSERT_FALSE(view.calls.isEmpty());
        EXPECT_EQ(view.calls.last(), QStringLiteral("end restore")); // as after a failure
    }
}

// After a Send All the board echoed, a send of changes only leaves out what
// the board's record holds; a record it cannot trust means everything.
TEST_F(JobsTest, OnlyChangesLeavesOutWhatTheBoardEchoedBefore)
{
    const QTemporaryDir records;
    const QString identity = QStringLiteral("serial:/dev/ttyS1 address 1");
    const QString recordPath = boardRecordPath(records.path(), identity);
    const auto sendWithRecord = [&](bool onlyChanges) {
        BoardLedger ledger(records.path(), identity, settings, onlyChanges, prompter);
        job.ledger = &ledger;
        const JobResult result = told(sendAll(job));
        job.ledger = nullptr;
        return result;
    };
    const auto rewriteRecord = [&](const std::function<void(BoardRecord &)> &change) {
        common::Expected<BoardRecord> record = recordFromJson(readFileBytes(recordPath));
        ASSERT_TRUE(record) << record.failure().text.toStdString();
        change(*record);
        ASSERT_TRUE(writeFileBytes(recordPath, recordToJson(*record)));
    };
    const QStringList everything = picturesThenProperties(3) + QStringList{"1 0"};
    struct Case
    {
        const char *name;
        std::function<void()> change;
        QStringList sent;
        QString told;
    };
    const Case cases[] = {
        {"nothing changed", [] {}, {}, {}},
        {"a picture",
         [&] {
             QImage dark(64, 16, QImage::Format_RGB32);
             dark.fill(Qt::black);
             dark.save(folder.filePath(QStringLiteral("p2.bmp")));
         },
         // A changed picture always takes its own properties along.
         {"18 1", "18 1", "4 1", "1 0"},
         {}},
        {"a stay time",
         [&] { screens.setText(3, document::StayTimeColumn, "9"); },
         {"4 2", "1 0"},
         {}},
        {"a shorter list", [&] { screens.setText(3, document::PictureColumn, {}); }, {"1 0"}, {}},
        {"a send stopped in screen 1",
         [&] {
             packets.clear();
             failAt = 4;
             sendWithRecord(false);
             failAt = 0;
         },
         {"18 1", "18 1", "4 1", "18 2", "18 2", "4 2", "1 0"},
         {}},
        {"a send with feedback off",
         [&] {
             settings.feedback = 0;
             sendWithRecord(false);
             settings.feedback = 1;
         },
         everything,
         {}},
        {"a board of another size", [&] { settings.scrhigh = 15; }, everything,
         "屏幕尺寸或类型已改变，发送全部画面"},
        {"a damaged record", [&] { writeFileBytes(recordPath, "{\"format\": 7}"); }, everything,
         "屏幕记录无法读取 (not a board record)，发送全部画面"},
        {"another board's record",
         [&] {
             rewriteRecord(
                 [](BoardRecord &r) { r.board = QStringLiteral("udp:10.0.0.9:1973 address 1"); });
         },
         everything, "屏幕记录属于另一块屏幕 (udp:10.0.0.9:1973 address 1)，发送全部画面"},
        {"a send that never ended",
         [&] { rewriteRecord([](BoardRecord &r) { r.transferUnderWay = true; }); }, everything,
         "上次发送没有结束，发送全部画面"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        settings.scrhigh = 16;
        QFile::remove(recordPath);
        for (const QString &name : QDir(folder.path()).entryList({"p*.bmp"}))
            QFile::remove(folder.filePath(name));
        addScreens(3);
        ASSERT_EQ(sendWithRecord(false).outcome, JobOutcome::Completed);
        c.change();
        packets.clear();
        prompter.clear();
        const JobResult result = sendWithRecord(true);
        EXPECT_EQ(commands(), c.sent);
        EXPECT_EQ(result.outcome,
                  c.sent.isEmpty() ? JobOutcome::NothingToSend : JobOutcome::Completed);
        QStringList told = c.told.isEmpty() ? QStringList() : QStringList{c.told};
        if (!c.sent.isEmpty())
            told << startDisplayQuestion(screens.screenCount()) << QStringLiteral("发送成功");
        EXPECT_EQ(prompter.texts(), told);
    }
}

TEST(JobCaptions, NameTheLinkAndTheRow)
{
    document::BoardSettings s;
    s.port = 0;
    s.ipAddress = QStringLiteral("192.168.0.200");
    EXPECT_EQ(sendAllCaption(s, 3), QStringLiteral("IP: 192.168.0.200  第 3 幕"));
    s.port = 12;
    s.setBusAddress(7);
    EXPECT_EQ(sendAllCaption(s, 10), QStringLiteral("地址:  7   COM 12   第  10 幕"));
}

// What the window tells after sending only the changes.
TEST(JobMessages, ChangesSentSayWhatWentOut)
{
    struct Case
    {
        QList<int> sent;
        QList<int> unchanged;
        bool displaySent;
        const char *told;
    };
    const Case cases[] = {
        {{2, 5}, {0, 1, 3}, true, "已发送第 2、5 幕，3 幕未修改"},
        {{0, 1, 2, 3, 4, 6}, {}, false, "已发送第 0-4、6 幕"},
        {{}, {0, 1, 2, 3, 4, 5, 6}, true, "7 幕未修改，已发送显示命令"},
        {{}, {0, 1, 2}, false, "屏上的画面都是最新的，未发送"},
        {{}, {}, false, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(changesSentText(c.sent, c.unchanged, c.displaySent), QString::fromUtf8(c.told));
}

// Sends of changes only with the board's record in a folder of their own.
class LedgerJobsTest : public JobsTest
{
protected:
    JobResult sendAllRecorded(bool onlyChanges)
    {
        BoardLedger ledger(records.path(), identity, settings, onlyChanges, prompter);
        job.ledger = &ledger;
        const JobResult result = sendAll(job);
        job.ledger = nullptr;
        return result;
    }

    const QTemporaryDir records;
    const QString identity = QStringLiteral("udp:10.0.0.7:1973 address 1");
    const QString recordPath = boardRecordPath(records.path(), identity);
};

// A single-colour board swapped for a three-colour one of the same size
// holds nothing the record says: its screens were packed for one plane.
TEST_F(LedgerJobsTest, ABoardOfAnotherTypeAloneIsSentEverything)
{
    addScreens(3);
    ASSERT_EQ(sendAllRecorded(false).outcome, JobOutcome::Completed);
    settings.scrtype = 2;
    packets.clear();
    ASSERT_EQ(sendAll(job).outcome, JobOutcome::Completed);
    const QStringList everything = commands();

    packets.clear();
    prompter.clear();
    EXPECT_EQ(sendAllRecorded(true).outcome, JobOutcome::Completed);
    EXPECT_EQ(commands(), everything);
    EXPECT_EQ(prompter.texts().value(0), QStringLiteral("屏幕尺寸或类型已改变，发送全部画面"));
}

// The program ending in the middle of a send leaves the record file as it
// was written before the first frame: it must tell the next send that the
// board's screens are unknown.
TEST_F(LedgerJobsTest, ASendCutOffInTheMiddleLeavesARecordThatSaysSo)
{
    addScreens(3);
    ASSERT_EQ(sendAllRecorded(false).outcome, JobOutcome::Completed);
    QByteArray leftBehind;
    job.exchange = [this, &leftBehind](QByteArray &packet, int checksumIndex) {
        if (packets.size() == 3) // screen 1's first frame: the program ends here
            leftBehind = readFileBytes(recordPath);
        return echo(packet, checksumIndex);
    };
    packets.clear();
    sendAllRecorded(false);
    job.exchange = exchange;
    ASSERT_FALSE(leftBehind.isEmpty());
    ASSERT_TRUE(writeFileBytes(recordPath, leftBehind));

    packets.clear();
    prompter.clear();
    EXPECT_EQ(sendAllRecorded(true).outcome, JobOutcome::Completed);
    EXPECT_EQ(commands(), picturesThenProperties(3) + QStringList{"1 0"});
    EXPECT_EQ(prompter.texts().value(0), QStringLiteral("上次发送没有结束，发送全部画面"));
}

// A record whose under-way mark cannot be written (a full disk) is taken away
// before the first frame: a crash then leads to a full send, never to an old
// record trusted.
TEST_F(LedgerJobsTest, ARecordThatCannotBeMarkedIsTakenAwayBeforeTheFirstFrame)
{
    addScreens(2);
    ASSERT_EQ(sendAllRecorded(false).outcome, JobOutcome::Completed);
    bool recordThereAtFirstFrame = true;
    job.exchange = [this, &recordThereAtFirstFrame](QByteArray &packet, int checksumIndex) {
        if (packets.isEmpty())
            recordThereAtFirstFrame = QFile::exists(recordPath);
        return echo(packet, checksumIndex);
    };
    const auto diskFull = [](const QString &, const BoardRecord &) {
        return common::Status(
            common::Failure{1, QString(), QStringLiteral("No space left on device")});
    };
    BoardLedger ledger(records.path(), identity, settings, false, prompter, diskFull);
    job.ledger = &ledger;
    packets.clear();
    prompter.clear();
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::Completed);
    job.ledger = nullptr;
    EXPECT_FALSE(recordThereAtFirstFrame);
    EXPECT_EQ(prompter.texts().value(0),
              QStringLiteral("屏幕记录无法保存: No space left on device"));
}

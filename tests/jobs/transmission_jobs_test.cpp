#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/jobs/job_view.h"
#include "pravik/jobs/screen_transfer.h"
#include "pravik/jobs/transmission_jobs.h"
#include "pravik/picture/board_canvas.h"

#include "common/recording_prompter.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::jobs;
using link::ExchangeResult;

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

// Every packet the job sends, as "command screen" (for pictures also the line
// and byte 3); packet number `failAt` fails.
struct Board
{
    QList<QByteArray> packets;
    int failAt = 0;

    picture::PacketExchange exchange()
    {
        return [this](QByteArray &buffer, int checksumIndex) {
            unsigned sum = 0;
            for (int i = 0; i < checksumIndex; ++i)
                sum += static_cast<std::uint8_t>(buffer[i]);
            buffer[checksumIndex] = static_cast<char>(sum);
            packets << buffer;
            return packets.size() == failAt ? ExchangeResult::NoEcho : ExchangeResult::Ok;
        };
    }

    QStringList commands() const
    {
        QStringList result;
        for (const QByteArray &p : packets)
            result << QStringLiteral("%1 %2").arg(static_cast<int>(p[0])).arg(static_cast<int>(p[1]));
        return result;
    }
};

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
        displayFile = folder.filePath(QStringLiteral("show.lt"));
    }

    // Screens whose pictures exist beside the display file.
    void addScreens(int count)
    {
        QImage picture(64, 16, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        for (int r = 1; r <= count; ++r) {
            const QString name = QStringLiteral("p%1.bmp").arg(r);
            if (r <= 5)
                picture.save(folder.filePath(name));
            else
                QFile::copy(folder.filePath(QStringLiteral("p1.bmp")), folder.filePath(name));
            screens.setText(r, document::PictureColumn, name);
        }
    }

    JobContext context()
    {
        return JobContext{settings, screens, vocabulary, displayFile, compareFile,
                          canvas,   board.exchange(), [this] { return portOpen; },
                          prompter, view};
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &m : prompter.messages())
            texts << m.title + u'|' + m.text;
        return texts;
    }

    QTemporaryDir folder;
    document::BoardSettings settings;
    document::ScreenList screens;
    document::Vocabulary vocabulary;
    QString displayFile;
    QString compareFile;
    picture::BoardCanvas canvas{64, 16, 616};
    Board board;
    bool portOpen = true;
    common::RecordingPrompter prompter;
    RecordingView view;
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

TEST_F(JobsTest, SendAllSendsEveryScreenThenTheDisplayCommand)
{
    addScreens(3);
    auto job = context();
    const JobResult result = sendAll(job);
    EXPECT_EQ(result.outcome, JobOutcome::Completed);
    EXPECT_EQ(board.commands(), picturesThenProperties(3) + QStringList{"1 0"});
    const QByteArray display = board.packets.last();
    EXPECT_EQ(display, QByteArray::fromHex("010000000000030000000000000000000000000000" "04"));
    EXPECT_EQ(messageTexts(), (QStringList{"发送显示命令|    开始显示从0幕开始, 3幕画面  ",
                                           "Pravik|发送成功"}));
    EXPECT_EQ(prompter.messages()[0].buttons, common::MessageButtons::YesNo);
    EXPECT_EQ(view.calls, (QStringList{"begin 16", "show 1", "show 2", "show 3", "end restore"}));
    EXPECT_EQ(view.captions[2], QStringLiteral("地址:  1   COM 2   第  3 幕"));
    EXPECT_EQ(view.lastProgress, 15);
}

TEST_F(JobsTest, NoToTheQuestionSendsNoDisplayCommand)
{
    addScreens(3);
    prompter = common::RecordingPrompter([](const common::Message &) { return common::MessageAnswer::No; });
    auto job = context();
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::Declined);
    EXPECT_EQ(board.commands(), picturesThenProperties(3));
    EXPECT_EQ(prompter.messages().size(), 1);
}

TEST_F(JobsTest, MissingPictureStopsBeforeItsScreen)
{
    addScreens(3);
    screens.setText(2, document::PictureColumn, QStringLiteral("gone.bmp"));
    auto job = context();
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::Stopped);
    EXPECT_EQ(board.commands(), picturesThenProperties(1));
    EXPECT_EQ(messageTexts(), QStringList{"Pravik|  不存在的文件名gone.bmp"});
    EXPECT_EQ(view.calls.last(), QStringLiteral("end restore"));
}

TEST_F(JobsTest, FailedExchangeEndsTheJobWithoutTheQuestion)
{
    addScreens(3);
    board.failAt = 4; // the first picture packet of screen 1
    auto job = context();
    const JobResult result = sendAll(job);
    EXPECT_EQ(result.outcome, JobOutcome::Stopped);
    EXPECT_EQ(result.failedExchange, ExchangeResult::NoEcho);
    EXPECT_EQ(board.packets.size(), 4);
    EXPECT_TRUE(prompter.messages().isEmpty()); // the exchange tells its own story
    EXPECT_EQ(view.calls.last(), QStringLiteral("end"));
}

TEST_F(JobsTest, ClosedSerialPortAtTheEndAsksToSetUpThePort)
{
    addScreens(2);
    portOpen = false;
    auto job = context();
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::Stopped);
    EXPECT_EQ(board.commands(), picturesThenProperties(2));
    EXPECT_EQ(messageTexts().last(), QStringLiteral("Pravik|请设置通讯端口"));
}

TEST_F(JobsTest, PreconditionsOfSendAll)
{
    auto job = context();
    displayFile.clear();
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::Stopped);
    EXPECT_EQ(messageTexts(), QStringList{"错误|未调入显示文件"});
    EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Error);

    prompter.clear();
    displayFile = folder.filePath(QStringLiteral("show.lt"));
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::NothingToSend); // first row without a picture
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(view.calls.isEmpty());
    EXPECT_TRUE(board.packets.isEmpty());
}

TEST_F(JobsTest, CompareFileSetMeansNothingIsSent)
{
    addScreens(3);
    compareFile = folder.filePath(QStringLiteral("missing-compare.lt"));
    auto job = context();
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::Stopped);
    EXPECT_TRUE(board.packets.isEmpty());
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("系统错误"));
    EXPECT_EQ(view.calls, (QStringList{"begin 16", "end"}));
}

TEST_F(JobsTest, FullListOf239ScreensEndsWithTheQuestion)
{
    settings.scrwidth = 8;
    settings.scrhigh = 1;
    canvas = picture::BoardCanvas(8, 1, 616);
    addScreens(239);
    auto job = context();
    EXPECT_EQ(sendAll(job).outcome, JobOutcome::Completed);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("    开始显示从0幕开始, 239幕画面  "));
    EXPECT_EQ(static_cast<std::uint8_t>(board.packets.last()[6]), 239);
}

TEST_F(JobsTest, OneScreenSendsPictureAndPropertiesSilently)
{
    addScreens(5);
    settings.port = 0;
    auto job = context();
    EXPECT_EQ(sendSpecifiedPicture(job, 5).outcome, JobOutcome::Completed);
    EXPECT_EQ(board.commands(), (QStringList{"18 4", "18 4", "4 4"}));
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(view.captions, QStringList{"屏幕IP:  1  第 5 幕"});

    board.packets.clear();
    EXPECT_EQ(sendSpecifiedPicture(job, 6).outcome, JobOutcome::NothingToSend);
    screens.setText(2, document::PictureColumn, QStringLiteral("gone.bmp"));
    EXPECT_EQ(sendSpecifiedPicture(job, 2).outcome, JobOutcome::Stopped);
    EXPECT_TRUE(board.packets.isEmpty());
    EXPECT_EQ(messageTexts(), QStringList{"Pravik|不存在的图形文件名gone.bmp"});
}

TEST_F(JobsTest, PropertiesOfEveryScreenThenSuccess)
{
    addScreens(4);
    auto job = context();
    EXPECT_EQ(sendAllProperties(job).outcome, JobOutcome::Completed);
    EXPECT_EQ(board.commands(), (QStringList{"4 0", "4 1", "4 2", "4 3"}));
    EXPECT_EQ(messageTexts(), QStringList{"Pravik|发送成功"});

    prompter.clear();
    board.packets.clear();
    screens.setText(3, document::PictureColumn, QStringLiteral("gone.bmp"));
    EXPECT_EQ(sendAllProperties(job).outcome, JobOutcome::Stopped);
    EXPECT_EQ(board.commands(), (QStringList{"4 0", "4 1"}));
    EXPECT_EQ(messageTexts(), QStringList{"Pravik|不存在的图形文件名gone.bmp"});
}

TEST(JobCaptions, NameTheLinkAndTheRow)
{
    document::BoardSettings s;
    s.port = 0;
    s.ipAddress = QStringLiteral("192.168.0.200");
    EXPECT_EQ(sendAllCaption(s, 3), QStringLiteral("IP: 192.168.0.200  第 3 幕"));
    EXPECT_EQ(oneScreenCaption(s, 3), QStringLiteral("屏幕IP:  1  第 3 幕"));
    s.port = 12;
    s.setBusAddress(7);
    EXPECT_EQ(sendAllCaption(s, 10), QStringLiteral("地址:  7   COM 12   第  10 幕"));
}

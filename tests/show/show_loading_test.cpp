#include "../picture/picture_fixtures.h"
#include "show_fixtures.h"
#include "test_files.h"

#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/show/show.h"
#include "pravik/show/show_loading.h"

#include "common/recording_prompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::document;
using namespace pravik::show;

namespace {

class ShowLoadingTest : public ::testing::Test
{
protected:
    ShowLoadingTest()
    {
        fillVocabulary(vocabulary);
        initScreenList(screens);
        QImage red(16, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(dir.filePath(QStringLiteral("red.bmp")));
        writeFileBytes(dir.filePath(QStringLiteral("clock.txt")), "12:34:56");
        writeFileBytes(dir.filePath(QStringLiteral("broken.bmp")), "BM not a picture");
    }

    std::optional<std::vector<ShowScreen>> load(const BoardSettings &settings)
    {
        return loadShowScreens(ShowSources{settings, screens, vocabulary, displayFile}, prompter);
    }

    QTemporaryDir dir;
    const QString displayFile = dir.filePath(QStringLiteral("demo.lt"));
    Vocabulary vocabulary;
    ScreenList screens;
    common::RecordingPrompter prompter;
};

} // namespace

TEST(ShowLeds, TheLedsOfACanvasAreThePlanesItIsSentAs)
{
    // Two strips, and rows in every band the board type has.
    const QRgb colours[] = {kBlack, kRed, kGreen, kYellow, kBlue};
    const struct
    {
        int type, height;
        LedState lit[5];
    } cases[] = {
        {1, 400, {Off, Red, Red, Red, Off}},
        {2, 300, {Off, Red, Green, Yellow, Off}},
    };
    for (const auto &c : cases) {
        const auto canvas =
            canvasOf(24, c.height, 16, [&](int x, int y) { return colours[(x + y) % 5]; });
        const LedImage leds = ledImage(canvas, c.type);
        ASSERT_EQ(leds.height(), c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(leds.at(x, y), c.lit[(x + y) % 5]) << c.type << ": " << x << "," << y;
    }
}

TEST_F(ShowLoadingTest, TheListEndsAtTheFirstEmptyPictureAndKeepsWhatTheBoardIsSent)
{
    const BoardSettings board = boardOf(32, 16, 2);
    EXPECT_EQ(load(board)->size(), 0u);
    EXPECT_EQ(Show(board, {}).momentAt(100).screen, -1);

    screens.setText(1, PictureColumn, QStringLiteral("red.bmp"));
    screens.setText(2, PictureColumn, dir.filePath(QStringLiteral("red.bmp")));
    screens.setText(2, EntryEffectColumn, QStringLiteral("动画/连续"));
    screens.setText(2, EntrySpeedColumn, QStringLiteral("5"));
    screens.setText(2, StayModeColumn, QStringLiteral("随机"));
    screens.setText(2, StayTimeColumn, QStringLiteral("9"));
    screens.setText(2, ExitEffectColumn, QStringLiteral("备用3"));
    screens.setText(2, ExitSpeedColumn, QStringLiteral("0"));
    screens.setText(4, PictureColumn, QStringLiteral("missing.bmp"));
    const auto loaded = load(board);
    ASSERT_TRUE(loaded.has_value());
    ASSERT_EQ(loaded->size(), 2u);
    EXPECT_EQ((*loaded)[0].properties, (ScreenProperties{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ((*loaded)[1].properties, (ScreenProperties{14, 5, 4, 9, 7, 0}));
    const LedImage &leds = (*loaded)[1].leds;
    EXPECT_EQ(std::make_tuple(leds.at(15, 7), leds.at(16, 7), leds.at(15, 8)),
              std::make_tuple(Red, Off, Off));
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(ShowLoadingTest, AScreenThatCannotBeShownIsToldAsSendAllTellsIt)
{
    const struct
    {
        QString picture, speed;
        BoardSettings board;
        QString told;
    } cases[] = {
        {QStringLiteral("gone.bmp"), QStringLiteral("1"), boardOf(32, 16, 2),
         QStringLiteral("Pravik|  不存在的文件名gone.bmp")},
        {QStringLiteral("broken.bmp"), QStringLiteral("1"), boardOf(32, 16, 1),
         QStringLiteral("系统错误|broken.bmp: ")},
        {QStringLiteral("red.bmp"), QStringLiteral("300"), boardOf(32, 16, 2),
         QStringLiteral(
             "Pravik|第 1 幕的引入速度“300”不是 0 到 255 的整数，这一幕的属性没有发送。")},
        {QStringLiteral("red.bmp"), QStringLiteral("1"), boardOf(2048, 512, 2),
         QStringLiteral("Pravik|显示屏 2048 x 512 太大：每 128 行最多 32768 字节，"
                        "这块屏需要 65536 字节，图片没有发送。")},
    };
    screens.setText(1, PictureColumn, QStringLiteral("red.bmp"));
    for (const auto &c : cases) {
        prompter.clear();
        screens.setText(2, PictureColumn, c.picture);
        screens.setText(2, EntrySpeedColumn, c.speed);
        EXPECT_FALSE(load(c.board).has_value()) << c.picture.toStdString();
        ASSERT_EQ(prompter.titledTexts().size(), 1) << c.picture.toStdString();
        EXPECT_TRUE(prompter.titledTexts()[0].startsWith(c.told))
            << prompter.titledTexts()[0].toStdString();
    }
}

TEST_F(ShowLoadingTest, TheTimeIsShownLikeATextScreenOfIt)
{
    const BoardSettings board = boardOf(80, 16, 2);
    screens.setText(1, PictureColumn, QStringLiteral("clock.txt"));
    const auto text =
        loadScreenLeds(ShowSources{board, screens, vocabulary, displayFile}, 1, prompter);
    ASSERT_TRUE(text.has_value());
    ASSERT_NE(textOf(*text), textOf(LedImage(80, 16)));
    // The time of day from 12:34:50 on, shown after an entry of 10 ms for ten seconds.
    const Show show(board, {ShowScreen{LedImage(80, 16), ScreenProperties{12, 0, 8, 10, 12, 0}}},
                    ShowOptions{0, QTime(12, 34, 50), 1});
    LedImage frame;
    EXPECT_EQ(show.frameAt(5990, frame).code, ShowClock);
    EXPECT_NE(textOf(frame), textOf(*text)); // 12:34:55
    show.frameAt(6000, frame);
    EXPECT_EQ(textOf(frame), textOf(*text));
    show.frameAt(show.loopMs() + 6000, frame); // the time goes on: 12:35:06
    EXPECT_NE(textOf(frame), textOf(*text));
}

// Before ten o'clock the hour keeps its leading zero: "09:05:00" lights the
// LEDs a text screen of it lights.
TEST_F(ShowLoadingTest, AMorningTimeKeepsTheLeadingZeroOfItsHour)
{
    const BoardSettings board = boardOf(80, 16, 2);
    writeFileBytes(dir.filePath(QStringLiteral("morning.txt")), "09:05:00");
    screens.setText(1, PictureColumn, QStringLiteral("morning.txt"));
    const auto text =
        loadScreenLeds(ShowSources{board, screens, vocabulary, displayFile}, 1, prompter);
    ASSERT_TRUE(text.has_value());
    const Show show(board, {ShowScreen{LedImage(80, 16), ScreenProperties{12, 0, 8, 10, 12, 0}}},
                    ShowOptions{0, QTime(9, 4, 58), 1});
    LedImage frame;
    EXPECT_EQ(show.frameAt(2000, frame).code, ShowClock);
    EXPECT_EQ(textOf(frame), textOf(*text));
}

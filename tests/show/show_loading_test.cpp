#include "../picture/picture_fixtures.h"
#include "show_fixtures.h"
#include "test_files.h"

#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/show/show.h"
#include "pravik/show/show_loading.h"

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

    std::vector<LoadedScreen> load(const BoardSettings &settings, const ScreenRange &range = {})
    {
        return loadScreens(ShowSources{settings, screens, vocabulary, displayFile}, range);
    }

    // The LEDs of list index `screen` alone.
    LedImage screenLeds(const BoardSettings &settings, int screen)
    {
        const std::vector<LoadedScreen> loaded = load(settings, ScreenRange{screen, 1});
        EXPECT_EQ(loaded.size(), 1u);
        EXPECT_EQ(firstProblem(loaded), common::Status());
        return loaded.empty() ? LedImage() : loaded[0].screen.leds;
    }

    QTemporaryDir dir;
    const QString displayFile = dir.filePath(QStringLiteral("demo.lt"));
    Vocabulary vocabulary;
    ScreenList screens;
};

// A loaded screen's problems as "title|text".
QStringList titledProblems(const LoadedScreen &screen)
{
    QStringList titled;
    for (const common::Failure &problem : screen.problems)
        titled << problem.title + u'|' + problem.text;
    return titled;
}

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
    EXPECT_EQ(load(board).size(), 0u);
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
    const ScreenProperties sent[] = {{0, 1, 0, 1, 0, 1}, {14, 5, 4, 9, 7, 0}};
    // A range holds the screens of the list there are, each named by its
    // list index.
    const struct
    {
        ScreenRange range;
        std::vector<int> indices;
    } ranges[] = {
        {{}, {0, 1}}, {{1, -1}, {1}}, {{0, 1}, {0}}, {{1, 1}, {1}}, {{1, 5}, {1}}, {{2, 1}, {}},
    };
    for (const auto &r : ranges) {
        SCOPED_TRACE(::testing::Message() << r.range.first << " " << r.range.count);
        const std::vector<LoadedScreen> loaded = load(board, r.range);
        ASSERT_EQ(loaded.size(), r.indices.size());
        for (std::size_t i = 0; i < loaded.size(); ++i) {
            EXPECT_EQ(loaded[i].index, r.indices[i]);
            EXPECT_EQ(loaded[i].screen.properties, sent[r.indices[i]]);
            EXPECT_TRUE(loaded[i].problems.isEmpty());
        }
    }
    const std::vector<ShowScreen> shown = showScreens(load(board));
    ASSERT_EQ(shown.size(), 2u);
    const LedImage &leds = shown[1].leds;
    EXPECT_EQ(std::make_tuple(leds.at(15, 7), leds.at(16, 7), leds.at(15, 8)),
              std::make_tuple(Red, Off, Off));
    EXPECT_EQ(shown[1].properties, sent[1]);
}

// Each problem of a screen in Send All's words, in the order it meets them;
// the first is where it would stop.
TEST_F(ShowLoadingTest, AScreenThatCannotBeShownIsToldAsSendAllTellsIt)
{
    const QString missing = QStringLiteral("Pravik|  不存在的文件名gone.bmp");
    const QString badSpeed =
        QStringLiteral("Pravik|第 1 幕的引入速度“300”不是 0 到 255 的整数，这一幕的属性没有发送。");
    const struct
    {
        QString picture, speed;
        BoardSettings board;
        QStringList told; // the beginnings of screen 1's problems
    } cases[] = {
        {QStringLiteral("gone.bmp"), QStringLiteral("1"), boardOf(32, 16, 2), {missing}},
        {QStringLiteral("broken.bmp"),
         QStringLiteral("1"),
         boardOf(32, 16, 1),
         {QStringLiteral("系统错误|broken.bmp: ")}},
        {QStringLiteral("red.bmp"), QStringLiteral("300"), boardOf(32, 16, 2), {badSpeed}},
        {QStringLiteral("gone.bmp"),
         QStringLiteral("300"),
         boardOf(32, 16, 2),
         {missing, badSpeed}},
        {QStringLiteral("red.bmp"),
         QStringLiteral("1"),
         boardOf(2048, 512, 2),
         {QStringLiteral("Pravik|显示屏 2048 x 512 太大：每 128 行最多 32768 字节，"
                         "这块屏需要 65536 字节，图片没有发送。")}},
        // A board that is sent no pictures says so when nothing else is wrong.
        {QStringLiteral("red.bmp"),
         QStringLiteral("1"),
         boardOf(32, 16, 3),
         {QStringLiteral("Pravik|屏幕类型为 3：只有单色屏 (1) 和三色屏 (2) 显示图形")}},
        {QStringLiteral("gone.bmp"), QStringLiteral("1"), boardOf(32, 16, 3), {missing}},
    };
    screens.setText(1, PictureColumn, QStringLiteral("red.bmp"));
    for (const auto &c : cases) {
        SCOPED_TRACE((c.picture + u' ' + c.speed).toStdString());
        screens.setText(2, PictureColumn, c.picture);
        screens.setText(2, EntrySpeedColumn, c.speed);
        const std::vector<LoadedScreen> loaded = load(c.board);
        ASSERT_EQ(loaded.size(), 2u);
        const QStringList told = titledProblems(loaded[1]);
        ASSERT_EQ(told.size(), c.told.size()) << told.join(u'\n').toStdString();
        for (qsizetype i = 0; i < told.size(); ++i)
            EXPECT_TRUE(told[i].startsWith(c.told[i])) << told[i].toStdString();
        // Send All stops at the first screen with a problem, at its first one.
        const LoadedScreen &stopped = loaded[0].problems.isEmpty() ? loaded[1] : loaded[0];
        EXPECT_EQ(firstProblem(loaded), stopped.problems.first());
    }
}

TEST_F(ShowLoadingTest, TheTimeIsShownLikeATextScreenOfIt)
{
    const BoardSettings board = boardOf(80, 16, 2);
    screens.setText(1, PictureColumn, QStringLiteral("clock.txt"));
    const LedImage text = screenLeds(board, 0);
    ASSERT_NE(textOf(text), textOf(LedImage(80, 16)));
    // The time of day from 12:34:50 on, shown after an entry of 10 ms for ten seconds.
    const Show show(board, {ShowScreen{LedImage(80, 16), ScreenProperties{12, 0, 8, 10, 12, 0}}},
                    ShowOptions{0, QTime(12, 34, 50), 1});
    LedImage frame;
    EXPECT_EQ(show.frameAt(5990, frame).code, ShowClock);
    EXPECT_NE(textOf(frame), textOf(text)); // 12:34:55
    show.frameAt(6000, frame);
    EXPECT_EQ(textOf(frame), textOf(text));
    show.frameAt(show.loopMs() + 6000, frame); // the time goes on: 12:35:06
    EXPECT_NE(textOf(frame), textOf(text));
}

// Before ten o'clock the hour keeps its leading zero: "09:05:00" lights the
// LEDs a text screen of it lights.
TEST_F(ShowLoadingTest, AMorningTimeKeepsTheLeadingZeroOfItsHour)
{
    const BoardSettings board = boardOf(80, 16, 2);
    writeFileBytes(dir.filePath(QStringLiteral("morning.txt")), "09:05:00");
    screens.setText(1, PictureColumn, QStringLiteral("morning.txt"));
    const LedImage text = screenLeds(board, 0);
    const Show show(board, {ShowScreen{LedImage(80, 16), ScreenProperties{12, 0, 8, 10, 12, 0}}},
                    ShowOptions{0, QTime(9, 4, 58), 1});
    LedImage frame;
    EXPECT_EQ(show.frameAt(2000, frame).code, ShowClock);
    EXPECT_EQ(textOf(frame), textOf(text));
}

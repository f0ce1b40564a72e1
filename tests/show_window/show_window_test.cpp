#include "test_files.h"

#include "pravik/show/show_effects.h"
#include "pravik/show_window/led_board_view.h"
#include "pravik/show_window/show_caption.h"
#include "pravik/show_window/show_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace pravik::document;
using namespace pravik::show;
using namespace pravik::show_window;

namespace {

// A 16 x 8 board playing red.bmp, a missing picture and green.bmp, each at
// once, for a second, and away at once: 1020 ms a screen.
class ShowWindowTest : public ::testing::Test
{
protected:
    ShowWindowTest()
    {
        for (const auto &[name, colour] :
             {std::pair("red.bmp", Qt::red), {"green.bmp", Qt::green}}) {
            QImage picture(16, 8, QImage::Format_RGB32);
            picture.fill(colour);
            picture.save(dir.filePath(QString::fromLatin1(name)));
        }
        input.settings.scrwidth = 16;
        input.settings.scrhigh = 8;
        input.settings.scrtype = 2;
        fillVocabulary(input.vocabulary);
        initScreenList(input.screens);
        int row = 1;
        for (const char *picture : {"red.bmp", "missing.bmp", "green.bmp"}) {
            input.screens.setText(row, PictureColumn, QString::fromLatin1(picture));
            input.screens.setText(row, EntryEffectColumn, QStringLiteral("立即显示"));
            input.screens.setText(row, EntrySpeedColumn, QStringLiteral("0"));
            input.screens.setText(row, ExitEffectColumn, QStringLiteral("立即显示"));
            input.screens.setText(row++, ExitSpeedColumn, QStringLiteral("0"));
        }
        input.displayFileName = dir.filePath(QStringLiteral("show.lt"));
    }

    // A show window on the feed, its clock at `now`, shown on the screen.
    ShowWindow *openWindow(const std::int64_t &now)
    {
        auto *window = new ShowWindow(feed, 0, nullptr, [&now] { return now; });
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        caption = window->findChild<QLabel *>(QStringLiteral("showCaption"));
        return window;
    }

    QTemporaryDir dir;
    ShowInput input;
    ShowFeed feed{[this] { return input; }};
    QLabel *caption = nullptr;
};

// The colour of LED (x, y) as a player shows it.
LedState ledAt(const ShowPlayer &player, int x = 0, int y = 0)
{
    return player.frame().at(x, y);
}

} // namespace

TEST(ShowCaption, NamesTheScreenItsPartsAndTheirTimes)
{
    Vocabulary vocabulary;
    fillVocabulary(vocabulary);
    const struct
    {
        ScreenProperties properties;
        ShowMoment moment;
        QString caption;
    } cases[] = {
        {{WipeRight, 1, StayStill, 3, AtOnce, 0},
         {2, ShowPhase::Stay, StayStill, false},
         "第 2 幕  引入 向右展开 0.32秒 | 【停留 画面停留 3秒】 | 引出 立即显示 0.01秒"},
        {{RandomEffect, 0, NoStay, 1, MoveLeft, 1},
         {0, ShowPhase::Exit, MoveLeft, false},
         "第 0 幕  引入 随机 | 停留 连续显示 | 【引出 向左移动 0.32秒】"},
        {{RandomEffect, 0, 5, 2, MoveUp, 9},
         {0, ShowPhase::Entry, WipeDown, false},
         "第 0 幕  【引入 随机→向下展开 0.08秒】 | 停留 随机 | 引出 向上移动 0.8秒"},
        {{AtOnce, 255, 6, 2, Continuous, 0},
         {7, ShowPhase::Stay, BlinkInverse, false},
         "第 7 幕  引入 立即显示 2.56秒 | 【停留 随机→正反闪烁 2秒】 | 引出 动画/连续 0.32秒"},
        {{AtOnce, 0, Special1, 2, AtOnce, 0},
         {1, ShowPhase::Entry, AtOnce, true},
         "第 1 幕  【引入 立即显示 0.01秒】 | 停留 特种幕1 2秒 | 引出 立即显示 0.01秒  特种幕"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(showCaption(c.moment.screen, c.properties, c.moment, vocabulary, 16, 8, 1),
                  c.caption);
}

TEST(LedBoardView, DrawsRoundDotsOnTheDarkPanelAtLeastTwoPixelsApart)
{
    LedBoardView view;
    LedImage leds(3, 2);
    leds.set(1, 0, Red);
    leds.set(2, 1, Yellow);
    view.resize(30, 20);
    view.show();
    view.setFrame(leds);
    ASSERT_EQ(view.pitch(), 10);
    const QImage drawn = view.grab().toImage();
    const auto pixel = [&](int x, int y, int dx, int dy) {
        return drawn.pixel(view.ledOrigin(x, y) + QPoint(dx, dy));
    };
    EXPECT_EQ(pixel(1, 0, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(pixel(2, 1, 5, 5), 0xFFFFFF00u);
    EXPECT_EQ(pixel(0, 0, 5, 5), kUnlitColour);
    EXPECT_EQ(pixel(1, 0, 0, 0), kPanelColour); // a dot is round
    // A step that changes one LED redraws it.
    leds.set(1, 0, Off);
    view.setFrame(leds);
    EXPECT_EQ(view.grab().toImage().pixel(view.ledOrigin(1, 0) + QPoint(5, 5)), kUnlitColour);

    view.resize(4, 4);
    EXPECT_EQ(view.pitch(), kMinimumPitch);
    EXPECT_EQ(view.minimumSizeHint(), QSize(6, 4));
}

TEST_F(ShowWindowTest, PlaysOnPastADarkScreenAndTakesAnEditAtTheNextScreen)
{
    ShowPlayer player(feed);
    player.start(1);
    EXPECT_EQ(player.moment().screen, 1);
    EXPECT_EQ(ledAt(player), Off);
    EXPECT_EQ(player.problem(), "  不存在的文件名missing.bmp");
    EXPECT_TRUE(player.caption().startsWith(QStringLiteral("第 1 幕  【引入 立即显示")));

    player.advance(1025);
    EXPECT_EQ(player.moment().screen, 2);
    EXPECT_EQ(ledAt(player), Green);
    EXPECT_EQ(player.problem(), QString());

    // An edit waits for the screen playing to end.
    input.screens.setText(1, PictureColumn, QStringLiteral("green.bmp"));
    input.screens.setText(3, PictureColumn, QStringLiteral("red.bmp"));
    player.inputChanged();
    player.advance(500);
    EXPECT_EQ(ledAt(player), Green);
    player.advance(520);
    EXPECT_EQ(player.moment().screen, 0);
    EXPECT_EQ(ledAt(player), Green);

    // Without the loop the play ends, dark, after the last screen; twice
    // round the list in one go cannot pass over the end.
    player.setLoop(false);
    player.advance(2 * 3060);
    EXPECT_TRUE(player.ended());
    EXPECT_EQ(player.moment().screen, 2);
    EXPECT_EQ(ledAt(player), Off);
    EXPECT_EQ(player.caption(), kEndCaption);
    player.next();
    EXPECT_EQ(player.moment().screen, 0);
    player.previous();
    EXPECT_EQ(player.moment().screen, 2);
    player.restart();
    EXPECT_EQ(player.moment().screen, 1);
    EXPECT_FALSE(player.ended());

    // A board that is sent no pictures plays dark, and says so.
    input.settings.scrtype = 3;
    player.inputChanged();
    player.next();
    EXPECT_EQ(ledAt(player), Off);
    EXPECT_EQ(player.problem(), "屏幕类型为 3：只有单色屏 (1) 和三色屏 (2) 显示图形");
}

TEST_F(ShowWindowTest, PlaysPausesOnSpaceAndShowsAnEditAtOnceWhenPaused)
{
    std::int64_t now = 0;
    auto *window = openWindow(now);
    auto *board = window->findChild<LedBoardView *>(QStringLiteral("showBoard"));
    EXPECT_TRUE(caption->text().startsWith(QStringLiteral("第 0 幕")));
    EXPECT_EQ(board->frame().at(0, 0), Red);
    EXPECT_TRUE(window->playing());

    now = 1025;
    EXPECT_TRUE(QTest::qWaitFor([&] { return board->frame().at(0, 0) == Off; }, 2000));
    EXPECT_TRUE(caption->text().startsWith(QStringLiteral("第 1 幕")));
    EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("showProblem"))->text(),
              "  不存在的文件名missing.bmp");

    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_FALSE(window->playing());
    EXPECT_EQ(window->findChild<QPushButton *>(QStringLiteral("showPlayPause"))->text(), "播放");
    now = 5000;
    QTest::qWait(50);
    EXPECT_TRUE(caption->text().startsWith(QStringLiteral("第 1 幕")));

    input.screens.setText(2, PictureColumn, QStringLiteral("red.bmp"));
    emit feed.changed();
    EXPECT_EQ(board->frame().at(0, 0), Red);
    window->close(); // the window deletes itself
}

// A play that ended by itself is started over by 重新开始, from the first
// screen, and plays on.
TEST_F(ShowWindowTest, RestartAfterTheEndPlaysFromTheFirstScreen)
{
    std::int64_t now = 0;
    auto *window = openWindow(now);
    auto *board = window->findChild<LedBoardView *>(QStringLiteral("showBoard"));
    QTest::mouseClick(window->findChild<QCheckBox *>(QStringLiteral("showLoop")), Qt::LeftButton);
    now = 3100; // past the three screens of 1020 ms
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->playing(); }, 2000));
    EXPECT_EQ(caption->text(), kEndCaption);

    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("showRestart")),
                      Qt::LeftButton);
    EXPECT_TRUE(window->playing());
    EXPECT_EQ(window->findChild<QPushButton *>(QStringLiteral("showPlayPause"))->text(), "暂停");
    EXPECT_TRUE(caption->text().startsWith(QStringLiteral("第 0 幕")));
    EXPECT_EQ(board->frame().at(0, 0), Red);
    now += 1025;
    EXPECT_TRUE(QTest::qWaitFor([&] { return caption->text().startsWith("第 1 幕"); }, 2000));
    window->close();
}

// The caption gives each part the time it takes on the screen at the speed
// chosen, and the screen changes when those times have passed.
TEST_F(ShowWindowTest, CaptionTimesAreThoseOfTheSpeedPlayed)
{
    std::int64_t now = 0;
    auto *window = openWindow(now);
    auto *speed = window->findChild<QComboBox *>(QStringLiteral("showSpeed"));
    const struct
    {
        QString speed;
        QString caption;
        std::int64_t screenMs; // entry, stay and exit
    } cases[] = {
        {"2×", "第 0 幕  【引入 立即显示 0.005秒】 | 停留 画面停留 0.5秒 | 引出 立即显示 0.005秒",
         510},
        {"4×",
         "第 0 幕  【引入 立即显示 0.0025秒】 | 停留 画面停留 0.25秒 | 引出 立即显示 0.0025秒",
         255},
        {"½×", "第 0 幕  【引入 立即显示 0.02秒】 | 停留 画面停留 2秒 | 引出 立即显示 0.02秒",
         2040},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.speed.toStdString());
        now = 0;
        window->start(0);
        speed->setCurrentIndex(speed->findText(c.speed));
        EXPECT_EQ(caption->text(), c.caption);
        now = c.screenMs - 1;
        QTest::qWait(50);
        EXPECT_TRUE(caption->text().startsWith(QStringLiteral("第 0 幕")));
        now = c.screenMs;
        EXPECT_TRUE(QTest::qWaitFor([&] { return caption->text().startsWith("第 1 幕"); }, 2000));
    }
    window->close();
}

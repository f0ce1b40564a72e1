#include "slatepad/board_picture.h"
#include "slatepad/led_preview.h"
#include "slatepad/slatepad_window.h"

#include "pravik/picture/led_view.h"

#include "test_files.h"

#include "common/recording_prompter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <functional>
#include <gtest/gtest.h>

using namespace slatepad;
using namespace pravik::picture;

namespace {

// What the operator can set on each run of text, as read back from a
// document: "text colour size bold alignment", colour 0 for none of its own.
QStringList runsOf(const QTextDocument &document)
{
    QStringList runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int alignment = (block.blockFormat().alignment() & Qt::AlignHorizontal_Mask).toInt();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QRgb colour =
                format.foreground().style() == Qt::NoBrush ? 0 : format.foreground().color().rgb();
            const int size = format.hasProperty(QTextFormat::FontPixelSize)
                                 ? format.intProperty(QTextFormat::FontPixelSize)
                                 : document.defaultFont().pixelSize();
            runs << QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(it.fragment().text())
                        .arg(colour, 0, 16)
                        .arg(size)
                        .arg(format.fontWeight() >= QFont::DemiBold ? "bold" : "plain")
                        .arg(alignment ? alignment : int(Qt::AlignLeft));
        }
    }
    return runs;
}

int countLeds(const QImage &leds, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < leds.height(); ++y)
        for (int x = 0; x < leds.width(); ++x)
            count += leds.pixel(x, y) == colour;
    return count;
}

class SlatepadWindowTest : public ::testing::Test
{
protected:
    std::unique_ptr<SlatepadWindow> start(QSize board)
    {
        auto window = std::make_unique<SlatepadWindow>(board, prompter);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->editor()->setFocus();
        return window;
    }

    QAction *action(SlatepadWindow &window, const char *name)
    {
        auto *found = window.findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir folder;
    common::RecordingPrompter prompter{common::RecordingPrompter::accept};
};

TEST_F(SlatepadWindowTest, APageOfTheBoardSizeOnBlackShowsTheTextInItsColourOneSquarePerLed)
{
    auto window = start(QSize(64, 16));
    QTextEdit *page = window->editor();
    EXPECT_EQ(page->lineWrapMode(), QTextEdit::FixedPixelWidth);
    EXPECT_EQ(page->lineWrapColumnOrWidth(), 64);
    EXPECT_EQ(page->viewport()->size(), QSize(64, 16));
    EXPECT_EQ(page->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("64 × 16")));

    QTest::keyClicks(page, QStringLiteral("8"));
    window->refreshPreview();
    // Text without a colour of its own is yellow, as Pravik draws it.
    EXPECT_GT(countLeds(window->preview()->leds(), kLedYellow), 5);
    EXPECT_EQ(countLeds(window->preview()->leds(), kLedRed), 0);

    page->selectAll();
    action(*window, "red")->trigger();
    window->refreshPreview();
    const QImage leds = window->preview()->leds();
    ASSERT_EQ(leds.size(), QSize(64, 16));
    EXPECT_GT(countLeds(leds, kLedRed), 5);
    EXPECT_EQ(countLeds(leds, kLedYellow) + countLeds(leds, kLedGreen), 0);

    // Each LED is a square several screen pixels wide, lit in its colour.
    const int pitch = window->preview()->pitch();
    EXPECT_GE(pitch, 4);
    const QImage shot = window->preview()->grab().toImage();
    ASSERT_GE(shot.width(), 64 * pitch);
    const QPoint origin((shot.width() - 64 * pitch) / 2, (shot.height() - 16 * pitch) / 2);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (leds.pixel(x, y) == kLedRed) {
                EXPECT_EQ(shot.pixel(origin.x() + x * pitch + 1, origin.y() + y * pitch + 1),
                          kLedRed);
            }
        }
    }
}

TEST_F(SlatepadWindowTest, TheToolbarFollowsTheFormatAtTheCursorAndRtfKeepsIt)
{
    const QString path = folder.filePath(QStringLiteral("screen.rtf"));
    // A centred (4) red line in 16-LED bold and a right-aligned (2) green line in 12
    // LEDs, written through the window's own commands.
    const QStringList twoLines{"Hi ffff0000 16 bold 4", "ok ff00ff00 12 plain 2"};
    {
        auto window = start(QSize(160, 32));
        QTextEdit *page = window->editor();
        action(*window, "alignCentre")->trigger();
        action(*window, "red")->trigger();
        window->setPixelSize(16);
        action(*window, "bold")->trigger();
        QTest::keyClicks(page, QStringLiteral("Hi"));
        QTest::keyClick(page, Qt::Key_Return);
        action(*window, "alignRight")->trigger();
        action(*window, "green")->trigger();
        window->setPixelSize(12);
        action(*window, "bold")->trigger();
        QTest::keyClicks(page, QStringLiteral("ok"));
        auto *size = window->findChild<QComboBox *>(QStringLiteral("size"));
        ASSERT_NE(size, nullptr);
        EXPECT_EQ(size->currentText(), QStringLiteral("12"));
        EXPECT_FALSE(action(*window, "bold")->isChecked());
        EXPECT_TRUE(action(*window, "alignRight")->isChecked());
        QTest::keyClick(page, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(page, Qt::Key_Right);
        EXPECT_EQ(size->currentText(), QStringLiteral("16"));
        EXPECT_TRUE(action(*window, "bold")->isChecked());
        EXPECT_TRUE(action(*window, "alignCentre")->isChecked());

        ASSERT_TRUE(window->saveToFile(path));
        EXPECT_FALSE(window->editor()->document()->isModified());
        EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("screen.rtf")));
    }
    // Sizes in points at the desktop's 96 dpi: 16 LEDs are 12 pt, 12 LEDs 9 pt.
    const QByteArray rtf = readFileBytes(path);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1") && rtf.contains("\\fs24\\cf1\\b Hi") &&
                rtf.contains("\\fs18\\cf2 ok"))
        << rtf.data();

    // Showing the format changed nothing in the text.
    auto window = start(QSize(160, 32));
    ASSERT_TRUE(window->openFile(path));
    EXPECT_EQ(runsOf(*window->editor()->document()), twoLines);
    EXPECT_EQ(window->fileName(), path);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

// Whatever the board, the window opens within the screen's free area and the
// board shrinks to fit, one pixel per LED at the least, in squares while they
// fit; what does not fit scrolls.
TEST_F(SlatepadWindowTest, OpensWithinTheScreenAndShrinksTheBoardToFit)
{
    for (const int width : {64, 160, 624, 1024}) {
        auto window = start(QSize(width, 32));
        EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
        auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("scroll"));
        ASSERT_NE(scroll, nullptr);
        const int room = scroll->viewport()->width(), pitch = window->preview()->pitch();
        EXPECT_GE(pitch, width * 4 <= room ? 4 : 1) << width;
        EXPECT_LE(pitch * width, std::max(room, width)) << width;
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum() > 0, width > room) << width;
    }
}

TEST_F(SlatepadWindowTest, SavesAndOpensPlainTextShownInYellow)
{
    const QString path = folder.filePath(QStringLiteral("screen.txt"));
    auto window = start(QSize(64, 16));
    action(*window, "red")->trigger();
    QInputMethodEvent chinese; // Chinese arrives through the input method
    chinese.setCommitString(QStringLiteral("你好"));
    QTextEdit *page = window->editor();
    QApplication::sendEvent(page->focusProxy() ? page->focusProxy() : page, &chinese);
    ASSERT_TRUE(window->saveToFile(path));

    EXPECT_EQ(readFileBytes(path), QByteArray("\xC4\xE3\xBA\xC3")); // code page 936
    // A text file carries no colours: the board shows it in yellow.
    EXPECT_EQ(countLeds(window->preview()->leds(), kLedRed), 0);
    EXPECT_GT(countLeds(window->preview()->leds(), kLedYellow), 10);

    auto reopened = start(QSize(64, 16));
    ASSERT_TRUE(reopened->openFile(path));
    EXPECT_EQ(reopened->editor()->toPlainText(), QStringLiteral("你好"));
}

TEST_F(SlatepadWindowTest, AFileThatIsNoRtfIsReportedAndLeavesThePage)
{
    const QString path = folder.filePath(QStringLiteral("broken.rtf"));
    ASSERT_TRUE(writeFileBytes(path, "plain words"));

    auto window = start(QSize(64, 16));
    QTest::keyClicks(window->editor(), QStringLiteral("keep"));
    EXPECT_FALSE(window->openFile(path));
    EXPECT_EQ(window->editor()->toPlainText(), QStringLiteral("keep"));
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(
        prompter.messages().first().text.startsWith(QStringLiteral("无法打开文件 ") + path));
    EXPECT_EQ(prompter.messages().first().icon, common::MessageIcon::Error);
}

TEST_F(SlatepadWindowTest, ClosingWithUnsavedTextAsksFirst)
{
    auto window = start(QSize(64, 16));
    QTest::keyClicks(window->editor(), QStringLiteral("x"));
    prompter = common::RecordingPrompter(
        [](const common::Message &) { return common::MessageAnswer::Cancel; });
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompter.messages().size(), 1);

    prompter = common::RecordingPrompter(common::RecordingPrompter::accept);
    EXPECT_TRUE(window->close());
}

} // namespace

// Closing asks only when the text differs from what was opened or saved last,
// and the title's change mark says the same.
TEST_F(SlatepadWindowTest, ClosingAsksOnlyAboutRealChanges)
{
    const QString path = folder.filePath(QStringLiteral("opened.rtf"));
    ASSERT_TRUE(writeFileBytes(path, R"({\rtf1 \qc opened\par})"));
    const struct
    {
        const char *name;
        std::function<void(SlatepadWindow &)> edit;
        bool asks;
    } rows[] = {
        {"new and untouched", [](SlatepadWindow &) {}, false},
        {"typed", [](SlatepadWindow &w) { QTest::keyClicks(w.editor(), QStringLiteral("x")); },
         true},
        {"opened", [&](SlatepadWindow &w) { ASSERT_TRUE(w.openFile(path)); }, false},
        {"typed into the opened file",
         [&](SlatepadWindow &w) {
             ASSERT_TRUE(w.openFile(path));
             QTest::keyClicks(w.editor(), QStringLiteral("x"));
         },
         true},
        {"typed and saved",
         [&](SlatepadWindow &w) {
             QTest::keyClicks(w.editor(), QStringLiteral("x"));
             ASSERT_TRUE(w.saveToFile(folder.filePath(QStringLiteral("saved.rtf"))));
         },
         false},
        {"typed and undone",
         [](SlatepadWindow &w) {
             QTest::keyClicks(w.editor(), QStringLiteral("x"));
             w.editor()->undo();
         },
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto window = start(QSize(64, 16));
        row.edit(*window);
        EXPECT_EQ(window->isWindowModified(), row.asks);
        prompter.clear();
        EXPECT_TRUE(window->close());
        EXPECT_EQ(prompter.texts(),
                  row.asks ? QStringList{QStringLiteral("文本尚未保存，放弃所做的修改吗?")}
                           : QStringList{});
    }
}

#include "common/ip_address_editor.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using common::IpAddressEditor;
using common::splitAddress;

namespace {

QStringList boxes(const IpAddressEditor &editor)
{
    QStringList texts;
    for (int i = 0; i < IpAddressEditor::kBoxes; ++i)
        texts << editor.boxText(i);
    return texts;
}

// Types each character into whichever box has the focus, as the keyboard does.
void typeIntoFocus(const QString &text)
{
    for (const QChar c : text) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, c.toLatin1());
    }
}

class IpAddressEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(300, 40);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        editor->box(0)->setFocus();
        QApplication::processEvents();
    }

    QWidget window;
    IpAddressEditor *editor = new IpAddressEditor(QStringLiteral("mIPADD"), &window);
};

} // namespace

TEST(IpAddressSplit, EachDotEndsAPieceAndOnlyFourAreKept)
{
    const struct
    {
        const char *text;
        QStringList pieces;
    } cases[] = {
        {"192.168.0.7\r\n", {"192", "168", "0", "7\r\n"}},
        {"1.2.3.4.5.6", {"1", "2", "3", "4"}},
        {"10.0.0.", {"10", "0", "0", ""}},
        {"1.2", {"1", "2"}},
        {"", {""}},
        {"..", {"", "", ""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(splitAddress(QString::fromLatin1(c.text)), c.pieces) << c.text;
}

TEST_F(IpAddressEditorTest, TypingAnAddressSpreadsItOverTheBoxes)
{
    typeIntoFocus(QStringLiteral("10.0.0.5"));
    EXPECT_EQ(boxes(*editor), (QStringList{"10", "0", "0", "5"}));
    EXPECT_EQ(editor->address(), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(QApplication::focusWidget(), editor->box(3));
}

TEST_F(IpAddressEditorTest, AFullStopSelectsTheNextBoxSoTypingReplacesIt)
{
    editor->setAddress(u"192.168.1.20");
    editor->box(0)->setFocus();
    editor->box(0)->setCursorPosition(3);
    typeIntoFocus(QStringLiteral(".10"));
    EXPECT_EQ(boxes(*editor), (QStringList{"192", "10", "1", "20"}));
}

TEST_F(IpAddressEditorTest, AFullStopInTheLastBoxGoesBackToTheFirst)
{
    editor->box(3)->setFocus();
    typeIntoFocus(QStringLiteral("9."));
    EXPECT_EQ(QApplication::focusWidget(), editor->box(0));
    EXPECT_EQ(editor->boxText(3), QStringLiteral("9"));
}

TEST_F(IpAddressEditorTest, ATrailingDotNeverStays)
{
    // The keypad's decimal point is typed as text and then dropped.
    QTest::keyClick(editor->box(0), Qt::Key_Period, Qt::KeypadModifier);
    QTest::keyClick(editor->box(0), Qt::Key_1);
    QTest::keyClick(editor->box(0), Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(editor->boxText(0), QStringLiteral("1"));
    editor->setBoxText(2, QStringLiteral("7."));
    EXPECT_EQ(editor->boxText(2), QStringLiteral("7"));
}

TEST_F(IpAddressEditorTest, APastedAddressSpreadsFromItsBox)
{
    editor->setAddress(u"1.1.1.1");
    editor->box(1)->setFocus();
    editor->box(1)->selectAll();
    editor->box(1)->insert(QStringLiteral("20.30.40.50"));
    EXPECT_EQ(boxes(*editor), (QStringList{"1", "20", "30", "40"}));
}

TEST_F(IpAddressEditorTest, SetAddressFillsOnlyTheBoxesItHasPiecesFor)
{
    editor->setAddress(u"1.2.3.4");
    editor->setAddress(u"9.8");
    EXPECT_EQ(boxes(*editor), (QStringList{"9", "8", "3", "4"}));
    editor->setAddress(u"5.6.7.8.9");
    EXPECT_EQ(boxes(*editor), (QStringList{"5", "6", "7", "8"}));
}

TEST_F(IpAddressEditorTest, LeavingABoxIsAnnounced)
{
    QSignalSpy left(editor, &IpAddressEditor::boxLeft);
    typeIntoFocus(QStringLiteral("1."));
    ASSERT_EQ(left.count(), 1);
    EXPECT_EQ(left.first().first().toInt(), 0);
}

TEST_F(IpAddressEditorTest, AGreyedEditorTakesNoTyping)
{
    editor->setEditable(false);
    EXPECT_FALSE(editor->isEditable());
    for (int i = 0; i < IpAddressEditor::kBoxes; ++i)
        EXPECT_FALSE(editor->box(i)->isEnabled());
    editor->setEditable(true);
    EXPECT_TRUE(editor->box(3)->isEnabled());
}

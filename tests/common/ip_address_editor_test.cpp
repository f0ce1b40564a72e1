#include "common/ip_address_editor.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using common::IpAddressEditor;

namespace {

// Types each character into whichever box has the focus, as the keyboard does.
void typeIntoFocus(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
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
    const std::pair<QString, QStringList> cases[] = {
        {"192.168.0.7\r\n", {"192", "168", "0", "7\r\n"}},
        {"1.2.3.4.5.6", {"1", "2", "3", "4"}},
        {"10.0.0.", {"10", "0", "0", ""}},
        {"1.2", {"1", "2"}},
        {"", {""}},
        {"..", {"", "", ""}}};
    for (const auto &[text, pieces] : cases)
        EXPECT_EQ(common::splitAddress(text), pieces) << text.toStdString();
}

TEST_F(IpAddressEditorTest, AFullStopMovesToTheNextBoxWithItsTextSelected)
{
    QSignalSpy left(editor, &IpAddressEditor::boxLeft);
    editor->setAddress(u"192.168.1.20");
    editor->box(0)->setCursorPosition(3);
    typeIntoFocus(QStringLiteral(".10..9"));
    EXPECT_EQ(editor->boxTexts(), (QStringList{"192", "10", "1", "9"}));
    ASSERT_EQ(left.count(), 3);
    EXPECT_EQ(left.first().first().toInt(), 0);
    typeIntoFocus(QStringLiteral(".")); // from the last box back to the first
    EXPECT_EQ(QApplication::focusWidget(), editor->box(0));
    EXPECT_EQ(editor->address(), QStringLiteral("192.10.1.9"));
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

TEST_F(IpAddressEditorTest, AnAddressFillsTheBoxesFromWhereItIsPutOnly)
{
    editor->setAddress(u"1.2.3.4");
    editor->setAddress(u"9.8");
    EXPECT_EQ(editor->boxTexts(), (QStringList{"9", "8", "3", "4"}));
    editor->box(1)->selectAll();
    editor->box(1)->insert(QStringLiteral("20.30.40.50")); // pasted
    EXPECT_EQ(editor->boxTexts(), (QStringList{"9", "20", "30", "40"}));
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

// The window "size" with a fake module behind a fake serial port.

#include "fake_module_port.h"

#include "netkeel/window/setup_window.h"

#include "common/ip_address_editor.h"
#include "common/recording_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace netkeel;
using common::IpAddressEditor;

namespace {

class NetkeelWindowTest : public ::testing::Test
{
protected:
    void open(const QString &localAddress = QStringLiteral("192.168.1.20"))
    {
        qputenv("COM1", "/dev/fake1");
        qputenv("COM2", "/dev/fake2");
        SetupWindowEnvironment environment;
        environment.localIpAddress = localAddress;
        environment.prompter = &prompter;
        environment.port = &port;
        window = std::make_unique<SetupWindow>(environment);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T> T *find(const char *name)
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void click(const char *button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QStringList boxes(const char *editor) { return find<IpAddressEditor>(editor)->boxTexts(); }
    QString text(const char *lineEdit) { return find<QLineEdit>(lineEdit)->text(); }
    QString logText() { return find<QPlainTextEdit>("Text1")->toPlainText(); }

    // Moves the focus into the link list and out again.
    void chooseLink(const QString &text)
    {
        auto *link = find<QComboBox>("com_com");
        link->setFocus();
        link->setCurrentText(text);
        QApplication::processEvents();
        find<QLineEdit>("macaddr")->setFocus();
        QApplication::processEvents();
    }

    FakeModulePort port;
    common::RecordingPrompter prompter;
    std::unique_ptr<SetupWindow> window;
};

} // namespace

TEST_F(NetkeelWindowTest, OpensWithTheDefaultsFromTheComputersAddress)
{
    open();
    EXPECT_EQ(boxes("IPADD"), (QStringList{"192", "168", "1", "20"}));
    EXPECT_FALSE(find<IpAddressEditor>("IPADD")->isEditable());
    EXPECT_EQ(boxes("mIPADD"), (QStringList{"192", "168", "1", "21"}));
    EXPECT_EQ(boxes("RIPADD"), (QStringList{"192", "168", "1", "20"}));
    EXPECT_EQ(boxes("gIPADD"), (QStringList{"210", "", "", ""}));
    EXPECT_EQ(boxes("sIPADD"), (QStringList{"255", "255", "255", "0"}));
    EXPECT_EQ(text("macaddr"), QStringLiteral("001122334455"));
    EXPECT_EQ(text("portm"), QStringLiteral("1973"));
    EXPECT_EQ(text("portl"), QStringLiteral("1973"));
    EXPECT_FALSE(find<QLineEdit>("portl")->isEnabled());
    EXPECT_FALSE(find<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(find<QComboBox>("com_baud")->currentText(), QStringLiteral("28800"));
    EXPECT_EQ(find<QComboBox>("com_com")->currentText(), QStringLiteral("COM1"));
    EXPECT_TRUE(port.written.isEmpty());

    // An address ending in 255 gives the module 256.
    open(QStringLiteral("10.1.2.255"));
    EXPECT_EQ(boxes("mIPADD"), (QStringList{"10", "1", "2", "256"}));
    EXPECT_EQ(boxes("RIPADD"), (QStringList{"10", "1", "2", "255"}));
}

TEST_F(NetkeelWindowTest, EachButtonSendsItsFieldAsItStands)
{
    open();
    find<QLineEdit>("macaddr")->setText(QStringLiteral("AABBCCDDEEFF"));
    click("settingmac");
    click("setmask");
    find<IpAddressEditor>("gIPADD")->setAddress(u"192.168.1.1");
    click("setgip");
    click("setrip");
    find<IpAddressEditor>("mIPADD")->setAddress(u"10.0.0.5");
    click("setmip");
    // The baud button sends the position in the list, -1 for a rate not in it.
    click("setbr");
    find<QComboBox>("com_baud")->setCurrentIndex(0);
    click("setbr");
    find<QComboBox>("com_baud")->setEditText(QStringLiteral("14400"));
    click("setbr");
    QTest::mouseClick(find<QCheckBox>("Check1"), Qt::LeftButton);
    QTest::mouseClick(find<QCheckBox>("Check1"), Qt::LeftButton);
    click("save");
    EXPECT_FALSE(port.isOpen());
    // The destination port follows the module port as it is typed.
    find<QLineEdit>("portm")->clear();
    QTest::keyClicks(find<QLineEdit>("portm"), QStringLiteral("502"));
    EXPECT_EQ(text("portl"), QStringLiteral("502"));
    click("setport");
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.written,
              (QByteArrayList{"WmaAABBCCDDEEFF\r\n", "Wnm255.255.255.0\r\n", "Wgi192.168.1.1\r\n",
                              "Wdi192.168.1.20\r\n", "Wip10.0.0.5\r\n", "Wbr5\r\n", "Wbr0\r\n",
                              "Wbr-1\r\n", "Wrm1\r\n", "Wrm0\r\n", "Wfs\r\n", "Wpn502\r\n",
                              "Wdp502\r\n"}));
    EXPECT_EQ(port.openedDevices.first(), QStringLiteral("/dev/fake1"));
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(logText().startsWith(QStringLiteral("LmaAABBCCDDEEFF\n\nLnm255.255.255.0\n")));
}

TEST_F(NetkeelWindowTest, ReadingFillsTheFieldsWithoutSendingWrm)
{
    open();
    port.values = {{"rm", "1"},        {"ma", "0A0B0C0D0E0F"}, {"br", "3"},
                   {"ip", "10.0.0.9"}, {"di", "10.0.0.2"},     {"pn", "502"},
                   {"dp", "503"},      {"gi", "10.0.0.1"},     {"nm", "255.255.0.0"}};
    click("readsetting");
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(port.written.size(), 9);
    EXPECT_FALSE(port.commands().contains("Wrm"));
    EXPECT_TRUE(find<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(text("macaddr"), QStringLiteral("0A0B0C0D0E0F"));
    EXPECT_EQ(find<QComboBox>("com_baud")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(boxes("mIPADD"), (QStringList{"10", "0", "0", "9"}));
    EXPECT_EQ(boxes("RIPADD"), (QStringList{"10", "0", "0", "2"}));
    EXPECT_EQ(text("portm"), QStringLiteral("502"));
    EXPECT_EQ(text("portl"), QStringLiteral("503"));
    EXPECT_EQ(boxes("gIPADD"), (QStringList{"10", "0", "0", "1"}));
    EXPECT_EQ(boxes("sIPADD"), (QStringList{"255", "255", "0", "0"}));
}

TEST_F(NetkeelWindowTest, DoubleClickingTheSettingsGroupEmptiesTheLog)
{
    open();
    click("save");
    ASSERT_FALSE(logText().isEmpty());
    auto *frame = find<QGroupBox>("Frame3");
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(4, frame->height() - 4));
    EXPECT_TRUE(logText().isEmpty());
}

TEST_F(NetkeelWindowTest, LeavingTheLinkListSwitchesBetweenEtherNetAndSerial)
{
    open();
    chooseLink(QStringLiteral("EtherNet"));
    EXPECT_TRUE(find<IpAddressEditor>("IPADD")->isEditable());
    EXPECT_EQ(find<QLabel>("Label2")->text(), QStringLiteral("端口号:"));
    EXPECT_FALSE(find<QComboBox>("com_baud")->isVisible());

    click("setmip");
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.texts()[0].contains(u"EtherNet"));
    EXPECT_TRUE(port.written.isEmpty());

    chooseLink(QStringLiteral("COM2"));
    EXPECT_FALSE(find<IpAddressEditor>("IPADD")->isEditable());
    EXPECT_EQ(find<QLabel>("Label2")->text(), QStringLiteral("波特率:"));
    EXPECT_TRUE(find<QComboBox>("com_baud")->isVisible());
    click("save");
    EXPECT_EQ(port.openedDevices, QStringList{QStringLiteral("/dev/fake2")});
}

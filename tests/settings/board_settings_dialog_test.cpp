#include "settings_fixture.h"

#include "pravik/settings/settings_form.h"

#include "common/ip_address_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using pravik::settings::BoardSettingsDialog;

namespace {

struct RejectedCase
{
    const char *field;
    const char *typed;
    const char *message;
};

void PrintTo(const RejectedCase &c, std::ostream *os)
{
    *os << c.field << "=" << c.typed;
}

} // namespace

TEST_F(SettingsDialogTest, OpensWithTheStartUpSettings)
{
    auto &d = open();
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(messageTexts(), QStringList());

    auto *links = field<QComboBox>("com_com");
    EXPECT_EQ(links->count(), 4);
    EXPECT_EQ(links->itemText(0), QStringLiteral("EtherNet"));
    EXPECT_EQ(links->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(field<QComboBox>("com_baud")->currentText(), QStringLiteral("28800"));
    EXPECT_TRUE(field<QComboBox>("com_baud")->isVisible());
    EXPECT_EQ(field<QLabel>("Label2")->text(), QStringLiteral("波特率:"));
    EXPECT_FALSE(text("txt_port")->isVisible());
    EXPECT_EQ(text("txt_port")->text(), QStringLiteral("1973"));
    EXPECT_FALSE(field<common::IpAddressEditor>("IPADD")->isEditable());

    EXPECT_EQ(text("txt_head")->text(), QStringLiteral("1"));
    EXPECT_EQ(text("sizew")->text(), QStringLiteral("160"));
    EXPECT_EQ(text("sizeh")->text(), QStringLiteral("32"));
    EXPECT_EQ(field<QGroupBox>("Frame1")->title(), QStringLiteral("显示屏类型"));
    EXPECT_TRUE(field<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(field<QRadioButton>("Option2")->isChecked());
    EXPECT_FALSE(field<QRadioButton>("Option3")->isChecked());
    EXPECT_TRUE(field<QCheckBox>("Check1")->isChecked());

    // The link was never opened: nothing can be sent to the board from here yet.
    EXPECT_FALSE(field<QGroupBox>("Frame2")->isVisible());
    EXPECT_FALSE(field<QGroupBox>("Frame4")->isVisible());
    EXPECT_EQ(text("Txt_start")->text(), QStringLiteral(" 0"));
    EXPECT_EQ(text("Txt_end")->text(), QStringLiteral(" 1"));
}

TEST_F(SettingsDialogTest, WithoutAPortListOffersCom1ToCom8AndFoldsHigherPortsToCom2)
{
    ports.numbers.reset();
    state.settings.port = 12;
    open();
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Error!!   "));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Pravik"));
    EXPECT_EQ(prompter.messages()[0].buttons, common::MessageButtons::Ok);
    auto *links = field<QComboBox>("com_com");
    EXPECT_EQ(links->count(), 9);
    EXPECT_EQ(links->itemText(8), QStringLiteral("COM8"));
    EXPECT_EQ(links->currentText(), QStringLiteral("COM2"));
    EXPECT_EQ(state.settings.port, 2);

    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);
    EXPECT_EQ(state.settings.port, 2);
    EXPECT_EQ(serial.calls.mid(1, 2), (QStringList{"close", "configure /dev/fake2 28800"}));
}

TEST_F(SettingsDialogTest, AStoredRateOutsideTheListShows28800)
{
    state.settings.baud = 2400;
    open();
    EXPECT_EQ(field<QComboBox>("com_baud")->currentText(), QStringLiteral("28800"));
}

TEST_F(SettingsDialogTest, AnEthernetBoardShowsItsAddressAndPort)
{
    state.settings.port = 0;
    state.settings.ipOctets = {192, 168, 1, 77};
    state.settings.ipPort = 502;
    state.settings.scrtype = 3;
    state.settings.feedback = 0;
    open();
    EXPECT_EQ(field<QComboBox>("com_com")->currentText(), QStringLiteral("EtherNet"));
    auto *ip = field<common::IpAddressEditor>("IPADD");
    EXPECT_TRUE(ip->isEditable());
    EXPECT_EQ(ip->address(), QStringLiteral("192.168.1.77"));
    EXPECT_EQ(field<QLabel>("Label2")->text(), QStringLiteral("端口号:"));
    EXPECT_FALSE(field<QComboBox>("com_baud")->isVisible());
    EXPECT_TRUE(text("txt_port")->isVisible());
    EXPECT_EQ(text("txt_port")->text(), QStringLiteral("502"));
    EXPECT_TRUE(field<QRadioButton>("Option3")->isChecked());
    EXPECT_FALSE(field<QCheckBox>("Check1")->isChecked());
}

TEST_F(SettingsDialogTest, LeavingTheLinkListForEtherNetOffersTheDefaultPort)
{
    state.settings.ipPort = 502;
    open();
    auto *links = field<QComboBox>("com_com");
    retype(links, QStringLiteral("EtherNet"));
    EXPECT_FALSE(text("txt_port")->isVisible()); // nothing switches while typing
    leaveField();
    EXPECT_TRUE(text("txt_port")->isVisible());
    EXPECT_EQ(text("txt_port")->text(), QStringLiteral("1973"));
    EXPECT_FALSE(field<QComboBox>("com_baud")->isVisible());
    EXPECT_EQ(field<QLabel>("Label2")->text(), QStringLiteral("端口号:"));
    EXPECT_TRUE(field<common::IpAddressEditor>("IPADD")->isEditable());
    EXPECT_EQ(state.settings.port, 1); // leaving stores nothing

    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);
    EXPECT_EQ(messageTexts(), QStringList());
    EXPECT_EQ(state.settings.port, 0);
    EXPECT_EQ(state.settings.ipPort, 1973);

    retype(links, QStringLiteral("COM3"));
    leaveField();
    EXPECT_FALSE(field<common::IpAddressEditor>("IPADD")->isEditable());
    EXPECT_TRUE(field<QComboBox>("com_baud")->isVisible());
    EXPECT_EQ(field<QLabel>("Label2")->text(), QStringLiteral("波特率:"));
}

TEST_F(SettingsDialogTest, ChoosingALinkFromTheListSwitchesAtOnce)
{
    open();
    auto *links = field<QComboBox>("com_com");
    focusOn(links);
    QTest::keyClick(links, Qt::Key_Up); // from COM1 to EtherNet
    EXPECT_EQ(links->currentText(), QStringLiteral("EtherNet"));
    EXPECT_TRUE(links->hasFocus());
    EXPECT_TRUE(text("txt_port")->isVisible());
    EXPECT_TRUE(field<common::IpAddressEditor>("IPADD")->isEditable());
}

TEST_F(SettingsDialogTest, ChoosingATypeNamesItInTheGroupCaption)
{
    open();
    clickBox(field<QRadioButton>("Option2"));
    EXPECT_EQ(field<QGroupBox>("Frame1")->title(), QStringLiteral("三色显示屏"));
    clickBox(field<QRadioButton>("Option3"));
    EXPECT_EQ(field<QGroupBox>("Frame1")->title(), QStringLiteral("多色显示屏"));
    EXPECT_EQ(state.settings.scrtype, 0);
    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);
    EXPECT_EQ(state.settings.scrtype, 3);
}

TEST_F(SettingsDialogTest, ApplyStoresEverythingThenLaysTheCanvasOutAndReopensTheLink)
{
    open();
    QSignalSpy applied(dialog.data(), &BoardSettingsDialog::settingsApplied);
    retype(text("txt_head"), QStringLiteral("7.5"));
    retype(text("sizew"), QStringLiteral("16.4"));
    retype(text("sizeh"), QStringLiteral("16"));
    retype(field<QComboBox>("com_com"), QStringLiteral("COM3"));
    retype(field<QComboBox>("com_baud"), QStringLiteral("9600"));
    clickBox(field<QRadioButton>("Option2"));
    clickBox(field<QCheckBox>("Check1"));
    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);

    EXPECT_EQ(messageTexts(), QStringList());
    EXPECT_EQ(state.settings.busAddress(), 8); // 7.5 rounds to the even 8
    EXPECT_EQ(state.settings.address[1], 8);
    EXPECT_EQ(state.settings.scrwidth, 16);
    EXPECT_EQ(state.settings.scrhigh, 16);
    EXPECT_EQ(state.settings.port, 3);
    EXPECT_EQ(state.settings.baud, 9600);
    EXPECT_EQ(state.settings.scrtype, 2);
    EXPECT_EQ(state.settings.feedback, 0);
    EXPECT_FALSE(state.settingsRejected);
    EXPECT_EQ(serial.calls,
              (QStringList{"layoutCanvas", "close", "configure /dev/fake3 9600", "open"}));
    EXPECT_EQ(applied.count(), 1);
    EXPECT_TRUE(link.linkOpened());
    // Now that the link is open, the clock and display range can be sent.
    EXPECT_TRUE(field<QGroupBox>("Frame2")->isVisible());
    EXPECT_TRUE(field<QGroupBox>("Frame4")->isVisible());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, ApplyChecksEachValueAsTypedAndPutsTheFocusOnTheFirstWrongOne)
{
    const RejectedCase cases[] = {
        {"sizew", "2520", "屏宽错误"},   {"sizew", "100", "屏宽错误"},
        {"sizew", "0", "屏宽错误"},      {"sizeh", "513", "屏高错误"},
        {"sizeh", "0", "屏高错误"},      {"txt_head", "", "屏号错误"},
        {"txt_head", "256", "屏号错误"}, {"txt_head", "-1", "屏号错误"},
    };
    for (const RejectedCase &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c));
        const auto before = state.settings;
        prompter.clear();
        open();
        QLineEdit *box = text(c.field);
        retype(box, QString::fromUtf8(c.typed));
        // Enter confirms without leaving the field, so nothing corrects it first.
        pressEnterIn(box);
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(prompter.messages()[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Pravik"));
        EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::None);
        EXPECT_EQ(QApplication::focusWidget(), box);
        EXPECT_TRUE(state.settingsRejected);
        EXPECT_TRUE(serial.calls.isEmpty());
        EXPECT_EQ(state.settings, before);
        runDeferredDeletes();
        ASSERT_FALSE(dialog.isNull()); // OK kept the dialog open
        EXPECT_TRUE(dialog->isVisible());
        delete dialog;
    }
}

TEST_F(SettingsDialogTest, ApplyAcceptsTheLimitsAndRoundsWhatItStores)
{
    const struct
    {
        const char *field;
        const char *typed;
        int stored;
    } cases[] = {
        {"sizew", "2512", 2512},  {"sizew", "16.4", 16}, {"sizew", "8", 8},
        {"sizeh", "512", 512},    {"sizeh", "1", 1},     {"txt_head", "0", 0},
        {"txt_head", "255", 255},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.typed);
        prompter.clear();
        open();
        retype(text(c.field), QString::fromUtf8(c.typed));
        pressEnterIn(text(c.field));
        EXPECT_EQ(messageTexts(), QStringList());
        EXPECT_FALSE(state.settingsRejected);
        const int stored = QByteArray(c.field) == "sizew"   ? state.settings.scrwidth
                           : QByteArray(c.field) == "sizeh" ? state.settings.scrhigh
                                                            : state.settings.busAddress();
        EXPECT_EQ(stored, c.stored);
        runDeferredDeletes();
        EXPECT_TRUE(dialog.isNull()); // OK closed the dialog
    }
}

TEST_F(SettingsDialogTest, FieldsCorrectThemselvesWhenLeft)
{
    state.settings.port = 0;
    link.openLink();
    const struct
    {
        const char *field;
        const char *typed;
        const char *shown;
    } cases[] = {
        {"sizeh", "0", "64"},      {"sizeh", "513", "64"},     {"sizeh", "512", "512"},
        {"sizew", "100", "80"},    {"sizew", "2520", "80"},    {"sizew", "-8", "80"},
        {"sizew", "2512", "2512"}, {"txt_head", "256", "255"}, {"txt_head", "-1", "255"},
        {"txt_head", "", ""},      {"Txt_start", "96", "0"},   {"Txt_start", "95", "95"},
        {"Txt_start", "-1", "0"},  {"Txt_end", "239", "1"},    {"Txt_end", "238", "238"},
    };
    open();
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.typed);
        retype(text(c.field), QString::fromUtf8(c.typed));
        leaveField();
        EXPECT_EQ(text(c.field)->text(), QString::fromUtf8(c.shown));
    }
    EXPECT_EQ(messageTexts(), QStringList());
}

TEST_F(SettingsDialogTest, AHeightLeftAtZeroIsAppliedAsCorrected)
{
    open();
    retype(text("sizeh"), QStringLiteral("0"));
    // Clicking the button moves the focus there first, as the mouse does.
    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);
    EXPECT_EQ(messageTexts(), QStringList());
    EXPECT_EQ(text("sizeh")->text(), QStringLiteral("64"));
    EXPECT_EQ(state.settings.scrhigh, 64);
}

TEST_F(SettingsDialogTest, EthernetAddressBoxesAreCheckedOneByOne)
{
    state.settings.port = 0;
    state.settings.ipOctets = {10, 0, 0, 1};
    const struct
    {
        int box;
        const char *typed;
    } cases[] = {{0, "256"}, {1, ""}, {2, "-1"}, {3, "300"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box);
        prompter.clear();
        open();
        QLineEdit *box = field<common::IpAddressEditor>("IPADD")->box(c.box);
        retype(box, QString::fromUtf8(c.typed));
        pressEnterIn(box);
        EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("屏号错误")});
        EXPECT_EQ(QApplication::focusWidget(), box);
        EXPECT_TRUE(state.settingsRejected);
        EXPECT_TRUE(state.settings.ipAddress.isEmpty());
        delete dialog;
    }
}

TEST_F(SettingsDialogTest, LettersInAnAddressBoxCountAsZero)
{
    state.settings.port = 0;
    state.settings.ipPort = 5000;
    open();
    auto *ip = field<common::IpAddressEditor>("IPADD");
    retype(ip->box(0), QStringLiteral("1.2.3.4"));
    EXPECT_EQ(ip->address(), QStringLiteral("1.2.3.4")); // no "." stays in a box
    retype(ip->box(2), QStringLiteral("abc"));
    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);
    EXPECT_EQ(messageTexts(), QStringList());
    EXPECT_EQ(state.settings.ipAddress, QStringLiteral("1.2.0.4"));
    EXPECT_EQ(state.settings.ipOctets, (std::array<std::int16_t, 4>{1, 2, 0, 4}));
    EXPECT_EQ(udp.calls, (QStringList{"remote 1.2.0.4:5000", "local 5000"}));
}

TEST_F(SettingsDialogTest, TheNetworkAddressIsKeptWhenALaterValueIsRejected)
{
    state.settings.port = 0;
    open();
    field<common::IpAddressEditor>("IPADD")->setAddress(u"10.1.2.3");
    retype(text("txt_port"), QStringLiteral("4000"));
    retype(text("sizew"), QStringLiteral("100"));
    pressEnterIn(text("sizew"));
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("屏宽错误")});
    EXPECT_EQ(state.settings.ipAddress, QStringLiteral("10.1.2.3"));
    EXPECT_EQ(state.settings.ipPort, 4000);
    EXPECT_EQ(state.settings.scrwidth, 160);
}

TEST_F(SettingsDialogTest, ALinkOrPortThatNamesNothingIsRefusedBeforeAnythingIsStored)
{
    const struct
    {
        const char *link;
        const char *port;
        const char *focus;
        QString message;
    } cases[] = {
        {"LPT1", "1973", "com_com", pravik::settings::kLinkErrorText},
        {"COM17", "1973", "com_com", pravik::settings::kLinkErrorText},
        {"", "1973", "com_com", pravik::settings::kLinkErrorText},
        {"EtherNet", "abc", "txt_port", pravik::settings::kIpPortErrorText},
        {"EtherNet", "70000", "txt_port", pravik::settings::kIpPortErrorText},
    };
    state.settings.port = 0;
    state.settings.ipOctets = {10, 0, 0, 9};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.link) + " " + c.port);
        prompter.clear();
        const auto before = state.settings;
        open();
        retype(text("txt_port"), QString::fromUtf8(c.port));
        retype(field<QComboBox>("com_com"), QString::fromUtf8(c.link));
        QWidget *focus = field<QWidget>(c.focus);
        pressEnterIn(QApplication::focusWidget());
        EXPECT_EQ(messageTexts(), QStringList{c.message});
        EXPECT_TRUE(focus->hasFocus());
        EXPECT_TRUE(state.settingsRejected);
        EXPECT_EQ(state.settings, before);
        delete dialog;
    }
}

TEST_F(SettingsDialogTest, OkClosesOnlyWhenEverythingWasApplied)
{
    open();
    retype(text("sizeh"), QStringLiteral("513"));
    pressEnterIn(text("sizeh"));
    runDeferredDeletes();
    ASSERT_FALSE(dialog.isNull());

    retype(text("sizeh"), QStringLiteral("48"));
    QTest::mouseClick(field<QPushButton>("sizeok"), Qt::LeftButton);
    runDeferredDeletes();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(state.settings.scrhigh, 48);
    EXPECT_FALSE(state.settingsRejected);
}

TEST_F(SettingsDialogTest, CancelEscapeAndTheTitleBarCloseWithoutStoring)
{
    const std::function<void()> closings[] = {
        [this] { QTest::mouseClick(field<QPushButton>("sizedel"), Qt::LeftButton); },
        [this] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
        [this] { dialog->close(); },
    };
    const auto before = state.settings;
    for (const auto &closeDialog : closings) {
        open();
        retype(text("sizew"), QStringLiteral("320"));
        closeDialog();
        runDeferredDeletes();
        EXPECT_TRUE(dialog.isNull());
    }
    EXPECT_EQ(state.settings, before);
    EXPECT_TRUE(serial.calls.isEmpty());
}

TEST_F(SettingsDialogTest, OpeningAgainBringsTheOpenDialogForwardAndAfterClosingReadsAnew)
{
    const auto create = [this] {
        return new BoardSettingsDialog(state, link, prompter, ports, [] {});
    };
    BoardSettingsDialog *first = BoardSettingsDialog::showOrRaise(dialog, create);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(first));
    text("sizew")->setText(QStringLiteral("320"));
    EXPECT_EQ(BoardSettingsDialog::showOrRaise(dialog, create), first);
    EXPECT_EQ(text("sizew")->text(), QStringLiteral("320"));

    first->close();
    runDeferredDeletes();
    EXPECT_TRUE(dialog.isNull());
    BoardSettingsDialog *second = BoardSettingsDialog::showOrRaise(dialog, create);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(text("sizew")->text(), QStringLiteral("160"));
}

TEST_F(SettingsDialogTest, TheDisplayRangeOnAClosedSerialPortAsksForThePort)
{
    serial.failOnOpen = pravik::link::LinkFailure{pravik::link::LinkFailure::Kind::Other,
                                                  QStringLiteral("no such port")};
    link.openLink();
    prompter.clear();
    open();
    ASSERT_TRUE(field<QGroupBox>("Frame2")->isVisible());
    QTest::mouseClick(field<QPushButton>("sendcommand"), Qt::LeftButton);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("请设置通讯端口")});
    EXPECT_TRUE(serial.sent.isEmpty());
}

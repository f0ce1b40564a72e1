#include "../link/link_fakes.h"
#include "ledboard_sim_process.h"

#include "pravik/link/board_link.h"
#include "pravik/link/direct_commands.h"
#include "pravik/link/serial_transport.h"
#include "pravik/link/udp_transport.h"
#include "pravik/settings/board_settings_dialog.h"
#include "pravik/settings/serial_port_lister.h"

#include "common/ip_address_editor.h"
#include "common/recording_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using pravik::settings::BoardSettingsDialog;

namespace {

// The serial ports a test pretends the computer has.
class FakeSerialPortLister : public pravik::settings::SerialPortLister
{
public:
    std::optional<QList<int>> comNumbers() const override { return numbers; }
    std::optional<QList<int>> numbers = QList<int>{1, 2, 3};
};

// Moves the keyboard focus as a click or the Tab key would, and lets the
// fields react to it.
void focusOn(QWidget *widget)
{
    widget->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
}

// Types a new text into a field the way an operator does: over the whole old
// text, each key going to whichever field has the focus by then.
void retype(QWidget *field, const QString &text)
{
    focusOn(field);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

// Clicks a check box or option button on its box, where a click counts.
void clickBox(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Lets a dialog that closed itself be deleted, as the event loop would.
void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// Fakes that record what openLink does to the serial port and the socket.
struct FakeLinks
{
    FakeClock clock;
    CountingTickWaiter ticks;
    FakeTransport serial{clock, {true, 2}};
    FakeTransport udp{clock, {false, 5}};
};

// The transports the program uses, talking to ledboard-sim.
struct RealLinks
{
    pravik::link::SerialTransport serial;
    pravik::link::UdpTransport udp;
    pravik::link::SystemClock clock;
    pravik::link::SleepingTickWaiter ticks;
};

// The dialog over a board link on the serial port and socket of Links, wired
// as the window wires it: an accepted Apply lays the canvas out and opens the
// link, and what the dialog asks for goes to the board.
template <typename Links> class DialogTest : public ::testing::Test, protected Links
{
protected:
    ~DialogTest() override { delete dialog; }

    BoardSettingsDialog &open()
    {
        dialog = new BoardSettingsDialog(settings, link.linkOpened(), prompter, ports);
        QObject::connect(dialog, &BoardSettingsDialog::settingsApplied, [this] {
            layoutCanvas();
            for (const common::Failure &failure : link.openLink())
                common::tell(prompter, failure);
        });
        const auto show = [this](const pravik::link::CommandResult &result) {
            if (result)
                prompter.show(*result);
            else
                common::tell(prompter, result.failure());
        };
        QObject::connect(dialog, &BoardSettingsDialog::clockRequested,
                         [this, show](const pravik::link::ClockFields &fields) {
                             show(pravik::link::sendClockFromFields(link, fields));
                         });
        QObject::connect(dialog, &BoardSettingsDialog::displayRangeRequested,
                         [this, show](const QString &start, const QString &count) {
                             show(pravik::link::sendDisplayRange(link, start, count));
                         });
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        return *dialog;
    }

    template <typename Widget = QLineEdit> Widget *field(const char *name)
    {
        auto *widget = dialog->findChild<Widget *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void click(const char *button)
    {
        QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton);
    }

    // Leaves whatever field has the focus for the feedback check box.
    void leaveField() { focusOn(field<QWidget>("Check1")); }

    pravik::document::BoardSettings settings;
    common::RecordingPrompter prompter;
    pravik::link::BoardLink link{settings, this->serial, this->udp, this->clock, this->ticks};
    FakeSerialPortLister ports;
    std::function<void()> layoutCanvas = [] {};
    QPointer<BoardSettingsDialog> dialog;
};

class SettingsDialogTest : public DialogTest<FakeLinks>
{
protected:
    SettingsDialogTest()
    {
        link.setDeviceForPort([](int port) { return QStringLiteral("/dev/fake%1").arg(port); });
        layoutCanvas = [this] { serial.calls << QStringLiteral("layoutCanvas"); };
    }
};

using DialogOnBoardTest = DialogTest<RealLinks>;

// A command as the board logs it: the frame start, bus address 1, the 21
// payload bytes (those not given are 0) and the checksum.
QString commandFrame(const QList<int> &payload, int checksum)
{
    QByteArray frame("\xFA\xFA\x01", 3);
    for (int i = 0; i < 21; ++i)
        frame.append(static_cast<char>(i < payload.size() ? payload[i] : 0));
    frame.append(static_cast<char>(checksum));
    return QString::fromLatin1(frame.toHex(' '));
}

} // namespace

TEST_F(SettingsDialogTest, ShowsTheStoredBoardThenApplyStoresWhatWasTypedAndReopensTheLink)
{
    settings.port = 0;
    settings.baud = 4800;
    settings.ipOctets = {192, 168, 1, 77};
    settings.ipPort = 502;
    settings.scrtype = 3;
    EXPECT_FALSE(open().isModal());
    auto *ip = field<common::IpAddressEditor>("IPADD");
    EXPECT_EQ(field<QComboBox>("com_com")->currentText(), QStringLiteral("EtherNet"));
    EXPECT_EQ(ip->address(), QStringLiteral("192.168.1.77"));
    EXPECT_EQ(field("txt_port")->text(), QStringLiteral("502"));
    EXPECT_EQ(field<QComboBox>("com_baud")->currentText(), QStringLiteral("4800"));
    EXPECT_FALSE(field<QComboBox>("com_baud")->isVisible());
    EXPECT_EQ(field("sizew")->text(), QStringLiteral("160"));
    EXPECT_TRUE(field<QRadioButton>("Option3")->isChecked());
    EXPECT_TRUE(field<QCheckBox>("Check1")->isChecked());
    // The link was never opened: nothing can be sent to the board from here yet.
    EXPECT_FALSE(field<QGroupBox>("Frame2")->isVisible());
    EXPECT_FALSE(field<QGroupBox>("Frame4")->isVisible());

    QSignalSpy applied(dialog.data(), &BoardSettingsDialog::settingsApplied);
    retype(field("txt_head"), QStringLiteral("7.5"));
    retype(field("sizew"), QStringLiteral("16.4"));
    retype(field("sizeh"), QStringLiteral("16"));
    retype(field<QComboBox>("com_com"), QStringLiteral("COM3"));
    EXPECT_TRUE(ip->isEditable()); // nothing switches while typing
    leaveField();
    EXPECT_FALSE(ip->isEditable());
    retype(field<QComboBox>("com_baud"), QStringLiteral("9600"));
    auto *threeColour = field<QRadioButton>("Option2");
    clickBox(threeColour);
    EXPECT_EQ(field<QGroupBox>("Frame1")->title(), threeColour->text());
    clickBox(field<QCheckBox>("Check1"));
    click("size_app");

    EXPECT_EQ(prompter.texts(), QStringList());
    EXPECT_EQ(settings.busAddress(), 8); // 7.5 rounds to the even 8
    EXPECT_EQ(settings.scrwidth, 16);
    EXPECT_EQ(settings.scrhigh, 16);
    EXPECT_EQ(settings.port, 3);
    EXPECT_EQ(settings.baud, 9600);
    EXPECT_EQ(settings.scrtype, 2);
    EXPECT_EQ(settings.feedback, 0);
    EXPECT_TRUE(dialog->applyAccepted());
    EXPECT_EQ(serial.calls,
              (QStringList{"layoutCanvas", "close", "configure /dev/fake3 9600", "open"}));
    EXPECT_EQ(applied.count(), 1);
    // Now that the link is open, the clock and display range can be sent.
    EXPECT_TRUE(field<QGroupBox>("Frame2")->isVisible());
    EXPECT_TRUE(field<QGroupBox>("Frame4")->isVisible());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, ApplyRefusesTheValueAsTypedAndPutsTheFocusOnIt)
{
    const std::tuple<const char *, QString, QString> cases[] = {
        {"com_com", "COM17", pravik::settings::kLinkErrorText},
        {"IPADD(2)", "-1", "屏号错误"},
        {"txt_port", "65536", pravik::settings::kIpPortErrorText},
        {"txt_head", "256", "屏号错误"},
        {"sizew", "100", "屏宽错误"},
        {"sizeh", "513", "屏高错误"}};
    settings.port = 0;
    for (const auto &[name, typed, message] : cases) {
        SCOPED_TRACE(name);
        prompter.clear();
        open();
        QWidget *box = field<QWidget>(name);
        retype(box, typed);
        // Enter confirms without leaving the field, so nothing corrects it first.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(prompter.titledTexts(), QStringList{QStringLiteral("Pravik|") + message});
        EXPECT_EQ(prompter.messages().value(0).icon, common::MessageIcon::None);
        EXPECT_TRUE(box->hasFocus());
        EXPECT_FALSE(dialog->applyAccepted());
        EXPECT_TRUE(serial.calls.isEmpty());
        EXPECT_TRUE(udp.calls.isEmpty());
        runDeferredDeletes();
        ASSERT_FALSE(dialog.isNull()); // OK kept the dialog open
        delete dialog;
    }
}

TEST_F(SettingsDialogTest, FieldsCorrectThemselvesWhenLeftAndOkThenStoresThem)
{
    open();
    retype(field("sizew"), QStringLiteral("320"));
    click("sizedel");
    runDeferredDeletes();
    ASSERT_TRUE(dialog.isNull());
    EXPECT_EQ(settings.scrwidth, 160); // cancelling stores nothing

    link.openLink();
    // One after the other in one dialog; the clock fields take their limits
    // and check the date as they are left.
    const std::tuple<const char *, QString, QString> cases[] = {
        {"sizew", "100", "80"},      {"sizew", "2512", "2512"}, {"txt_head", "-1", "255"},
        {"Txt_start", "96", "0"},    {"Txt_end", "239", "1"},   {"THOUR", "24", "0"},
        {"Tmin", "60", "60"},        {"Tmin", "61", "0"},       {"Tsecond", "60", "60"},
        {"Tsecond", "61", "0"},      {"TSEC", "16", "16"},      {"TSEC", "17", "0"},
        {"TYEAR", "99999", "99999"}, {"TMON", "4", "4"},        {"TDay", "31", "1"},
        {"TDay", "-5.5", "6"},       {"TMON", "13", "1"}};
    open();
    for (const auto &[name, typed, shown] : cases) {
        retype(field(name), typed);
        leaveField();
        EXPECT_EQ(field(name)->text(), shown) << name;
    }
    // Entering a clock field selects its text, so typing replaces it.
    for (const char *name : {"TYEAR", "TMON", "TDay", "THOUR", "Tmin", "Tsecond", "TSEC"}) {
        focusOn(field<QWidget>("Command1"));
        focusOn(field(name));
        QTest::keyClicks(field(name), QStringLiteral("7"));
        EXPECT_EQ(field(name)->text(), QStringLiteral("7")) << name;
    }
    retype(field("sizeh"), QStringLiteral("0"));
    // Clicking the button moves the focus there first, so the field corrects itself.
    click("sizeok");
    runDeferredDeletes();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(prompter.texts(), QStringList());
    EXPECT_EQ(settings.scrwidth, 2512);
    EXPECT_EQ(settings.scrhigh, 64);
    EXPECT_EQ(settings.busAddress(), 255);
}

TEST_F(SettingsDialogTest, WithoutAPortListSaysSoAndFoldsHigherPortsToCom2)
{
    ports.numbers.reset();
    settings.port = 12;
    open();
    EXPECT_EQ(prompter.titledTexts(), QStringList{QStringLiteral("Pravik|Error!!   ")});
    EXPECT_EQ(field<QComboBox>("com_com")->currentText(), QStringLiteral("COM2"));
    EXPECT_EQ(settings.port, 2);
}

TEST_F(DialogOnBoardTest, ApplyAimsTheSocketAtTheTypedAddressAndTheClockReachesTheBoard)
{
    LedboardSim sim({QStringLiteral("--udp"), QStringLiteral("127.0.0.2:0")});
    ASSERT_FALSE(sim.udpPort().isEmpty());
    open();

    retype(field<QComboBox>("com_com"), QStringLiteral("EtherNet"));
    leaveField(); // leaving the link list opens the address boxes
    retype(field<common::IpAddressEditor>("IPADD")->box(0), QStringLiteral("127.0.0.2"));
    retype(field("txt_port"), sim.udpPort());
    click("size_app");
    EXPECT_EQ(prompter.texts(), QStringList());
    EXPECT_EQ(settings.ipAddress, QStringLiteral("127.0.0.2"));
    ASSERT_TRUE(field<QGroupBox>("Frame4")->isVisible());

    const std::pair<const char *, QString> clockTexts[] = {
        {"TYEAR", "2004"}, {"TMON", "12"},    {"TDay", "31"}, {"THOUR", "23"},
        {"Tmin", "59"},    {"Tsecond", "59"}, {"TSEC", "17"}};
    for (const auto &[name, typed] : clockTexts)
        retype(field(name), typed);
    // Pressed while the segment field still holds 17: it goes as 17 mod 16.
    field<QPushButton>("Command1")->click();
    // Pressed with the mouse: the segment field is left first and becomes 0.
    click("Command1");
    EXPECT_EQ(field("TSEC")->text(), QStringLiteral("0"));
    retype(field("Txt_start"), QStringLiteral("3"));
    retype(field("Txt_end"), QStringLiteral("5"));
    click("sendcommand");
    EXPECT_EQ(prompter.titledTexts(),
              (QStringList{"Success|发送成功", "Success|发送成功", "Pravik|发送成功"}));

    sim.stop();
    const QList<QJsonObject> frames = sim.frames();
    ASSERT_EQ(frames.size(), 3);
    // December and the 31st leave as 0x12 and 0x31; UTC+8 is list index 19.
    EXPECT_EQ(
        frames[0]["raw"].toString(),
        commandFrame({0x05, 0, 0, 0x01, 0x20, 0x04, 0x12, 0x31, 0x23, 0x59, 0x59, 0x19}, 0x5B));
    EXPECT_EQ(
        frames[1]["raw"].toString(),
        commandFrame({0x05, 0, 0, 0x00, 0x20, 0x04, 0x12, 0x31, 0x23, 0x59, 0x59, 0x19}, 0x5A));
    EXPECT_EQ(frames[2]["raw"].toString(), commandFrame({0x01, 0, 0, 0, 0, 3, 5}, 0x09));
}

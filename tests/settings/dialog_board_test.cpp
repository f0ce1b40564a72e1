#include "settings_fixture.h"

#include "ledboard_sim_process.h"

#include "pravik/link/clock.h"
#include "pravik/link/serial_transport.h"
#include "pravik/link/tick_waiter.h"
#include "pravik/link/udp_transport.h"

#include "common/ip_address_editor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

using pravik::settings::BoardSettingsDialog;

namespace {

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

// The dialog over the real serial port and socket, talking to ledboard-sim.
class DialogOnBoardTest : public ::testing::Test
{
protected:
    ~DialogOnBoardTest() override
    {
        delete dialog;
        qunsetenv("COM5");
    }

    void open()
    {
        dialog = new BoardSettingsDialog(state, link, prompter, ports, [] {});
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }

    template <typename Widget> Widget *field(const char *name)
    {
        return child<Widget>(*dialog, name);
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const common::Message &message : prompter.messages())
            texts << message.text;
        return texts;
    }

    pravik::app::AppState state;
    common::RecordingPrompter prompter;
    pravik::link::SerialTransport serial;
    pravik::link::UdpTransport udp;
    pravik::link::SystemClock clock;
    QTimer timer;
    pravik::link::TimerTickWaiter ticks{timer};
    pravik::link::BoardLink link{state.settings, serial, udp, prompter, clock, ticks};
    FakeSerialPortLister ports;
    QPointer<BoardSettingsDialog> dialog;
};

} // namespace

TEST_F(DialogOnBoardTest, ApplyOpensTheChosenSerialPortAndTheDisplayRangeReachesTheBoard)
{
    LedboardSim sim({QStringLiteral("--pty")});
    ASSERT_TRUE(sim.endpoint().startsWith(u"/dev/"));
    qputenv("COM5", sim.endpoint().toLocal8Bit());
    state.settings.port = 0;
    ports.numbers = QList<int>{2, 5};
    open();
    EXPECT_FALSE(field<QGroupBox>("Frame2")->isVisible());

    retype(field<QComboBox>("com_com"), QStringLiteral("COM5"));
    focusOn(field<QWidget>("Check1")); // leaving the link list shows the baud list
    retype(field<QComboBox>("com_baud"), QStringLiteral("9600"));
    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);
    EXPECT_EQ(messageTexts(), QStringList());
    EXPECT_EQ(state.settings.port, 5);
    ASSERT_TRUE(link.serialPortOpen());

    ASSERT_TRUE(field<QGroupBox>("Frame2")->isVisible());
    retype(field<QLineEdit>("Txt_start"), QStringLiteral("3"));
    retype(field<QLineEdit>("Txt_end"), QStringLiteral("5"));
    QTest::mouseClick(field<QPushButton>("sendcommand"), Qt::LeftButton);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("发送成功")});
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Pravik"));

    sim.stop();
    const QList<QJsonObject> frames = sim.frames();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0]["command"].toInt(), 1);
    EXPECT_EQ(frames[0]["raw"].toString(), commandFrame({0x01, 0, 0, 0, 0, 3, 5}, 0x09));
}

TEST_F(DialogOnBoardTest, ApplyAimsTheSocketAtTheTypedAddressAndTheClockReachesTheBoard)
{
    LedboardSim sim({QStringLiteral("--udp"), QStringLiteral("127.0.0.2:0")});
    ASSERT_FALSE(sim.udpPort().isEmpty());
    ports.numbers = QList<int>{};
    open();

    retype(field<QComboBox>("com_com"), QStringLiteral("EtherNet"));
    focusOn(field<QWidget>("Check1")); // leaving the link list opens the address boxes
    retype(field<common::IpAddressEditor>("IPADD")->box(0), QStringLiteral("127.0.0.2"));
    retype(field<QLineEdit>("txt_port"), sim.udpPort());
    QTest::mouseClick(field<QPushButton>("size_app"), Qt::LeftButton);
    EXPECT_EQ(messageTexts(), QStringList());
    EXPECT_EQ(state.settings.ipAddress, QStringLiteral("127.0.0.2"));
    ASSERT_TRUE(field<QGroupBox>("Frame4")->isVisible());

    const std::pair<const char *, const char *> clockTexts[] = {
        {"TYEAR", "2004"}, {"TMON", "12"},    {"TDay", "31"}, {"THOUR", "23"},
        {"Tmin", "59"},    {"Tsecond", "59"}, {"TSEC", "17"},
    };
    for (const auto &[name, typed] : clockTexts)
        retype(field<QLineEdit>(name), QString::fromLatin1(typed));
    // Pressed while the segment field still holds 17: it goes as 17 mod 16.
    field<QPushButton>("Command1")->click();
    // Pressed with the mouse: the segment field is left first and becomes 0.
    QTest::mouseClick(field<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(field<QLineEdit>("TSEC")->text(), QStringLiteral("0"));
    EXPECT_EQ(messageTexts(), (QStringList{"发送成功", "发送成功"}));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Success"));

    sim.stop();
    const QList<QJsonObject> frames = sim.frames();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0]["command"].toInt(), 5);
    // December and the 31st leave as 0x12 and 0x31; UTC+8 is list index 19.
    EXPECT_EQ(
        frames[0]["raw"].toString(),
        commandFrame({0x05, 0, 0, 0x01, 0x20, 0x04, 0x12, 0x31, 0x23, 0x59, 0x59, 0x19}, 0x5B));
    EXPECT_EQ(
        frames[1]["raw"].toString(),
        commandFrame({0x05, 0, 0, 0x00, 0x20, 0x04, 0x12, 0x31, 0x23, 0x59, 0x59, 0x19}, 0x5A));
}

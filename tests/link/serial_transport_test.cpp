// The serial transport on a pseudo-terminal. The test holds the master end,
// where the board would be; the transport opens the slave as its port.
#include "pravik/link/link_messages.h"
#include "pravik/link/serial_transport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

using namespace pravik::link;

namespace {

class SerialTransportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        board = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_TRUE(board >= 0 && grantpt(board) == 0 && unlockpt(board) == 0);
        device = QString::fromLocal8Bit(ptsname(board));
        ASSERT_FALSE(serial.configure(device, 9600).has_value());
        ASSERT_FALSE(serial.open().has_value());
    }
    void TearDown() override { hangUp(); }
    void hangUp()
    {
        if (board >= 0)
            ::close(std::exchange(board, -1));
    }

    void boardSends(const QByteArray &bytes)
    {
        ASSERT_EQ(::write(board, bytes.constData(), bytes.size()), bytes.size());
    }

    // What has reached the board, waiting a second at most for the first byte.
    QByteArray boardReceives()
    {
        char buffer[256];
        pollfd p{board, POLLIN, 0};
        const ssize_t n = ::poll(&p, 1, 1000) > 0 ? ::read(board, buffer, sizeof buffer) : 0;
        return QByteArray(buffer, std::max<ssize_t>(n, 0));
    }

    bool dataWaiting(int msecs)
    {
        bool waiting = false;
        EXPECT_FALSE(serial.waitForData(msecs, waiting).has_value());
        return waiting;
    }

    int board = -1;
    QString device;
    SerialTransport serial;
};

} // namespace

TEST_F(SerialTransportTest, SendReturnsOnceTheWholeFrameIsOnTheLine)
{
    const QByteArray frame = QByteArray("\xFA\xFA\x01\x03", 4) + QByteArray(20, '\0') + "\x03";
    ASSERT_FALSE(serial.send(frame).has_value());
    EXPECT_EQ(boardReceives().toHex(' '), frame.toHex(' '));
}

TEST_F(SerialTransportTest, WhatArrivedBeforeASendIsDiscarded)
{
    boardSends("\x11");
    ASSERT_TRUE(dataWaiting(1000));
    EXPECT_TRUE(dataWaiting(50)); // still waiting, unread

    // A late echo, read in or still on the line, counts for no later frame.
    boardSends("\x22");
    usleep(20'000);
    EXPECT_FALSE(serial.discardInput().has_value());
    EXPECT_FALSE(dataWaiting(50));

    boardSends("\x33\x44");
    ASSERT_TRUE(dataWaiting(1000));
    QByteArray answer;
    EXPECT_FALSE(serial.readWaiting(answer).has_value());
    EXPECT_EQ(answer, "\x33\x44");
}

TEST_F(SerialTransportTest, AHungUpLineOrAMissingDeviceIsTheDeviceBeingUnavailable)
{
    hangUp();
    bool waiting = false;
    QList<common::Status> results{serial.discardInput(), serial.send("\x01"),
                                  serial.waitForData(200, waiting)};
    serial.close();
    EXPECT_FALSE(serial.configure(QStringLiteral("/dev/no-such-tty"), 9600).has_value());
    results << serial.open();
    for (const common::Status &result : results) {
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, deviceUnavailable()) << result->text.toStdString();
    }
}

TEST_F(SerialTransportTest, OnlyWholePositiveBaudRatesAreTaken)
{
    for (const double baud : {0.0, -9600.0, 9600.5, 3e9}) {
        const common::Status result = serial.configure(device, baud);
        ASSERT_TRUE(result.has_value()) << baud;
        EXPECT_EQ(*result, badLinkSettings()) << baud;
    }
}

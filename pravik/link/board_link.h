#pragma once

#include "exchange.h"
#include "transport.h"

#include "pravik/document/board_settings.h"

#include <QString>
#include <functional>

namespace common {
class Prompter;
}

namespace pravik::link {

class Clock;
class DatagramLink;
class SerialLink;
class TickWaiter;

// What the program does while the link is busy with a transfer. A window
// keeps itself alive (it repaints, moves, offers Stop) and takes away every
// command that could collide with the transfer.
class LinkActivity
{
public:
    virtual ~LinkActivity() = default;
    virtual void transferStarted() = 0;
    virtual void keepAlive() = 0;
    virtual void transferEnded() = 0;
};

// The link to the board: the serial port and the UDP socket, set up from the
// board settings by openLink, and the packet exchange over whichever of the
// two the settings choose.
class BoardLink
{
public:
    // One transfer of any number of frames: a job holds one for its whole
    // length, so the window changes its mode once; a frame sent outside any
    // (a direct command) is a transfer of its own.
    class TransferScope
    {
    public:
        explicit TransferScope(BoardLink &link);
        ~TransferScope();
        TransferScope(const TransferScope &) = delete;
        TransferScope &operator=(const TransferScope &) = delete;

    private:
        BoardLink &m_link;
    };

    using DeviceForPort = std::function<QString(int portNumber)>;

    BoardLink(const document::BoardSettings &settings, SerialLink &serial, DatagramLink &udp,
              common::Prompter &prompter, Clock &clock, TickWaiter &tickWaiter);

    // Which device a COM number opens; the COM name mapping unless told otherwise.
    void setDeviceForPort(DeviceForPort deviceForPort) { m_deviceForPort = std::move(deviceForPort); }

    // Prepares the serial port or the UDP socket from the settings. Every step
    // is tried; a failing one is reported and the next one still runs.
    void openLink();
    bool linkOpened() const { return m_linkOpened; }
    bool serialPortOpen() const;

    // The exchange over the link the settings choose (port 0: UDP).
    ExchangeResult exchangePacket(QByteArray &buffer, int checksumIndex);

    // Who is told about transfers; none for the terminal tools.
    void setActivity(LinkActivity *activity);

    common::Prompter &prompter() { return m_prompter; }
    Clock &clock() { return m_clock; }
    const document::BoardSettings &settings() const { return m_settings; }

private:
    void report(const LinkResult &result);

    const document::BoardSettings &m_settings;
    SerialLink &m_serial;
    DatagramLink &m_udp;
    common::Prompter &m_prompter;
    Clock &m_clock;
    TickWaiter &m_tickWaiter;
    DeviceForPort m_deviceForPort;
    bool m_linkOpened = false;
    LinkActivity *m_activity = nullptr;
    int m_transferDepth = 0;
};

} // namespace pravik::link

#pragma once

#include "board_link.h"

#include <memory>

namespace pravik::link {

class SharedUdpSockets;

// One board's link with everything it needs: the serial port (its own, or a
// line shared with other boards of a fleet), the UDP socket (its own, or the
// one shared by every board of a fleet on the local port), a clock and the
// tick waiter. The window, pravik-cli, each board of a fleet and the service
// talk to their board through one, on the thread that made it.
class BoardSession
{
public:
    // A board alone, over a serial port and a UDP socket of its own.
    // `serialDevice`: the device to open instead of the one the COM number names.
    explicit BoardSession(const document::BoardSettings &settings,
                          const QString &serialDevice = {});
    // One board of many: over `line`, the serial port it shares with other
    // boards of the same line, and the fleet's shared UDP sockets.
    // `clock`: the time the board's clock is set to, when not the computer's.
    BoardSession(const document::BoardSettings &settings, const QString &serialDevice,
                 SerialLink &line, SharedUdpSockets &sockets, Clock *clock = nullptr);
    // Over the given transports, clock and tick waiter.
    BoardSession(const document::BoardSettings &settings, const QString &serialDevice,
                 SerialLink &serial, DatagramLink &udp, Clock &clock, TickWaiter &tickWaiter);
    ~BoardSession();
    BoardSession(const BoardSession &) = delete;
    BoardSession &operator=(const BoardSession &) = delete;

    // Prepares the port or socket; the failures of the steps that failed.
    QList<common::Failure> open() { return m_link.openLink(); }
    BoardLink &link() { return m_link; }
    const document::BoardSettings &settings() const { return m_link.settings(); }
    // The board as its record knows it (see boardIdentity).
    QString identity() const;

    struct Owned;

private:
    BoardSession(const document::BoardSettings &settings, const QString &serialDevice,
                 std::unique_ptr<Owned> owned, SerialLink *line, DatagramLink *udp, Clock *clock,
                 TickWaiter *tickWaiter);

    std::unique_ptr<Owned> m_owned;
    QString m_serialDevice;
    BoardLink m_link;
};

} // namespace pravik::link

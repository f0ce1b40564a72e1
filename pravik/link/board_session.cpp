#include "board_session.h"

#include "board_identity.h"
#include "clock.h"
#include "serial_transport.h"
#include "shared_udp_transport.h"
#include "tick_waiter.h"
#include "udp_transport.h"

namespace pravik::link {

// What a session makes for itself; a part it is given stays empty.
struct BoardSession::Owned
{
    std::unique_ptr<SerialLink> serial;
    std::unique_ptr<DatagramLink> udp;
    SystemClock clock;
    SleepingTickWaiter tickWaiter;
};

namespace {

SerialLink &serialOf(BoardSession::Owned *owned, SerialLink *given)
{
    if (given)
        return *given;
    owned->serial = std::make_unique<SerialTransport>();
    return *owned->serial;
}

DatagramLink &udpOf(BoardSession::Owned *owned, DatagramLink *given)
{
    if (given)
        return *given;
    if (!owned->udp)
        owned->udp = std::make_unique<UdpTransport>();
    return *owned->udp;
}

// A session whose UDP goes through the sockets a fleet shares.
std::unique_ptr<BoardSession::Owned> sharingUdp(SharedUdpSockets &sockets)
{
    auto owned = std::make_unique<BoardSession::Owned>();
    owned->udp = std::make_unique<SharedUdpTransport>(sockets);
    return owned;
}

} // namespace

BoardSession::BoardSession(const document::BoardSettings &settings, const QString &serialDevice)
    : BoardSession(settings, serialDevice, std::make_unique<Owned>(), nullptr, nullptr, nullptr,
                   nullptr)
{
}

BoardSession::BoardSession(const document::BoardSettings &settings, const QString &serialDevice,
                           SerialLink &line, SharedUdpSockets &sockets, Clock *clock)
    : BoardSession(settings, serialDevice, sharingUdp(sockets), &line, nullptr, clock, nullptr)
{
}

BoardSession::BoardSession(const document::BoardSettings &settings, const QString &serialDevice,
                           SerialLink &serial, DatagramLink &udp, Clock &clock,
                           TickWaiter &tickWaiter)
    : BoardSession(settings, serialDevice, nullptr, &serial, &udp, &clock, &tickWaiter)
{
}

BoardSession::BoardSession(const document::BoardSettings &settings, const QString &serialDevice,
                           std::unique_ptr<Owned> owned, SerialLink *line, DatagramLink *udp,
                           Clock *clock, TickWaiter *tickWaiter)
    : m_owned(std::move(owned)), m_serialDevice(serialDevice),
      m_link(settings, serialOf(m_owned.get(), line), udpOf(m_owned.get(), udp),
             clock ? *clock : m_owned->clock, tickWaiter ? *tickWaiter : m_owned->tickWaiter)
{
    if (!m_serialDevice.isEmpty())
        m_link.setDeviceForPort([device = m_serialDevice](int) { return device; });
}

BoardSession::~BoardSession() = default;

QString BoardSession::identity() const
{
    return boardIdentity(m_link.settings(), m_serialDevice);
}

} // namespace pravik::link

#include "shared_udp_socket.h"

#include "link_messages.h"
#include "udp_port_holders.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pravik::link {
namespace {

// A board's echo is one byte; anything up to a full datagram is taken whole.
constexpr int kLargestDatagram = 65536;

LinkFailure systemFailure()
{
    return LinkFailure{LinkFailure::Kind::Other, qt_error_string(errno)};
}

sockaddr_in ipv4Address(quint32 address, quint16 port)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    socketAddress.sin_port = htons(port);
    return socketAddress;
}

} // namespace

bool SharedUdpSocket::Mailbox::wait(int msecs)
{
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(msecs),
                              [this] { return !m_datagrams.empty(); });
}

QByteArray SharedUdpSocket::Mailbox::take()
{
    const std::lock_guard lock(m_mutex);
    if (m_datagrams.empty())
        return {};
    QByteArray datagram = std::move(m_datagrams.front());
    m_datagrams.pop_front();
    return datagram;
}

void SharedUdpSocket::Mailbox::deliver(QByteArray datagram)
{
    {
        const std::lock_guard lock(m_mutex);
        m_datagrams.push_back(std::move(datagram));
    }
    m_arrived.notify_one();
}

std::shared_ptr<SharedUdpSocket> SharedUdpSocket::bind(quint16 port, LinkResult &failure)
{
    failure.reset();
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        failure = systemFailure();
        return nullptr;
    }
    const int yes = 1;
    const sockaddr_in any = ipv4Address(INADDR_ANY, port);
    int wake[2] = {-1, -1};
    if (::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        ::bind(socket, reinterpret_cast<const sockaddr *>(&any), sizeof any) != 0 ||
        ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        failure = systemFailure();
        ::close(socket);
        return nullptr;
    }
    // Another program holding the port on every address would get some of
    // the answers instead of us: give the port back, as the one-board link does.
    if (udpPortHeldByAnother(socket, port)) {
        failure = LinkFailure{LinkFailure::Kind::Other, kUdpPortInUseText.arg(port)};
        ::close(socket);
        ::close(wake[0]);
        ::close(wake[1]);
        return nullptr;
    }
    return std::shared_ptr<SharedUdpSocket>(new SharedUdpSocket(socket, wake[0], wake[1], port));
}

SharedUdpSocket::SharedUdpSocket(int socket, int wakeRead, int wakeWrite, quint16 port)
    : m_socket(socket), m_wakeRead(wakeRead), m_wakeWrite(wakeWrite), m_port(port),
      m_receiver([this] { receive(); })
{
}

SharedUdpSocket::~SharedUdpSocket()
{
    m_closing = true;
    const char wake = 0;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeWrite, &wake, 1);
    m_receiver.join();
    ::close(m_socket);
    ::close(m_wakeRead);
    ::close(m_wakeWrite);
}

std::shared_ptr<SharedUdpSocket::Mailbox> SharedUdpSocket::openMailbox(const QHostAddress &board)
{
    auto mailbox = std::make_shared<Mailbox>();
    const std::lock_guard lock(m_mutex);
    m_mailboxes[board.toIPv4Address()] = mailbox;
    return mailbox;
}

void SharedUdpSocket::closeMailbox(const std::shared_ptr<Mailbox> &mailbox)
{
    const std::lock_guard lock(m_mutex);
    for (auto open = m_mailboxes.begin(); open != m_mailboxes.end(); ++open) {
        if (open->second == mailbox) {
            m_mailboxes.erase(open);
            return;
        }
    }
}

LinkResult SharedUdpSocket::send(const QByteArray &datagram, const QHostAddress &to, quint16 port)
{
    // Sending needs no lock: the system keeps each datagram whole.
    const sockaddr_in board = ipv4Address(to.toIPv4Address(), port);
    if (::sendto(m_socket, datagram.constData(), static_cast<size_t>(datagram.size()), 0,
                 reinterpret_cast<const sockaddr *>(&board), sizeof board) != datagram.size())
        return systemFailure();
    return std::nullopt;
}

void SharedUdpSocket::receive()
{
    QByteArray buffer(kLargestDatagram, Qt::Uninitialized);
    pollfd watched[2] = {{m_socket, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
    while (!m_closing) {
        if (::poll(watched, 2, -1) < 0 && errno != EINTR)
            return;
        // Everything waiting at once: under many boards one wake-up serves several.
        for (;;) {
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t size = ::recvfrom(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                            reinterpret_cast<sockaddr *>(&from), &fromSize);
            if (size < 0)
                break; // nothing more, or a stray error report: no board's answer
            std::shared_ptr<Mailbox> mailbox;
            {
                const std::lock_guard lock(m_mutex);
                const auto open = m_mailboxes.find(ntohl(from.sin_addr.s_addr));
                if (open != m_mailboxes.end())
                    mailbox = open->second;
            }
            if (mailbox)
                mailbox->deliver(buffer.left(size));
        }
    }
}

std::shared_ptr<SharedUdpSocket> SharedUdpSockets::socketFor(quint16 port, LinkResult &failure)
{
    const std::lock_guard lock(m_mutex);
    failure.reset();
    if (const auto bound = m_sockets.find(port); bound != m_sockets.end())
        return bound->second;
    std::shared_ptr<SharedUdpSocket> socket = SharedUdpSocket::bind(port, failure);
    if (socket)
        m_sockets[port] = socket;
    return socket;
}

} // namespace pravik::link

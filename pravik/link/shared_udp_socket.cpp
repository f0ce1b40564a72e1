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

common::Failure systemFailure()
{
    return linkFailure(qt_error_string(errno));
}

// The socket address of `address` and `port` in the socket's family.
sockaddr_storage socketAddress(const QHostAddress &address, quint16 port, bool ipv6)
{
    sockaddr_storage storage{};
    if (ipv6) {
        auto *in6 = reinterpret_cast<sockaddr_in6 *>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, bytes.c, sizeof bytes.c);
    } else {
        auto *in4 = reinterpret_cast<sockaddr_in *>(&storage);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        in4->sin_addr.s_addr = htonl(address.toIPv4Address());
    }
    return storage;
}

// Errors after which the socket will never deliver a datagram again.
bool receiveFailed(int error)
{
    return error == EBADF || error == ENOTSOCK || error == EFAULT || error == EINVAL ||
           error == ENOMEM;
}

socklen_t socketAddressSize(bool ipv6)
{
    return ipv6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

// The key of a sender's mailbox: its address bytes as the socket reports them.
QByteArray senderKey(const sockaddr_storage &from)
{
    if (from.ss_family == AF_INET6) {
        const auto &in6 = reinterpret_cast<const sockaddr_in6 &>(from);
        return QByteArray(reinterpret_cast<const char *>(&in6.sin6_addr), sizeof in6.sin6_addr);
    }
    const auto &in4 = reinterpret_cast<const sockaddr_in &>(from);
    const quint32 address = ntohl(in4.sin_addr.s_addr);
    return QByteArray(reinterpret_cast<const char *>(&address), sizeof address);
}

QByteArray boardKey(const QHostAddress &board)
{
    if (board.protocol() == QAbstractSocket::IPv6Protocol) {
        const Q_IPV6ADDR bytes = board.toIPv6Address();
        return QByteArray(reinterpret_cast<const char *>(bytes.c), sizeof bytes.c);
    }
    const quint32 address = board.toIPv4Address();
    return QByteArray(reinterpret_cast<const char *>(&address), sizeof address);
}

} // namespace

common::Status SharedUdpSocket::Mailbox::wait(int msecs, bool &arrived)
{
    std::unique_lock lock(m_mutex);
    arrived = m_arrived.wait_for(lock, std::chrono::milliseconds(msecs), [this] {
        return !m_datagrams.empty() || m_failure;
    }) && !m_datagrams.empty();
    return arrived ? common::Status() : m_failure;
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

void SharedUdpSocket::Mailbox::discard()
{
    const std::lock_guard lock(m_mutex);
    m_datagrams.clear();
}

void SharedUdpSocket::Mailbox::deliver(QByteArray datagram)
{
    {
        const std::lock_guard lock(m_mutex);
        m_datagrams.push_back(std::move(datagram));
    }
    m_arrived.notify_one();
}

void SharedUdpSocket::Mailbox::fail(const common::Failure &failure)
{
    {
        const std::lock_guard lock(m_mutex);
        m_failure = failure;
    }
    m_arrived.notify_all();
}

std::shared_ptr<SharedUdpSocket> SharedUdpSocket::bind(quint16 port,
                                                       QAbstractSocket::NetworkLayerProtocol family,
                                                       const QList<qintptr> &ours,
                                                       common::Status &failure)
{
    failure.reset();
    const bool ipv6 = family == QAbstractSocket::IPv6Protocol;
    const int socket = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        failure = systemFailure();
        return nullptr;
    }
    const int yes = 1;
    const sockaddr_storage any = socketAddress(ipv6 ? QHostAddress(QHostAddress::AnyIPv6)
                                                    : QHostAddress(QHostAddress::AnyIPv4),
                                               port, ipv6);
    int wake[2] = {-1, -1};
    // An IPv6 socket takes IPv6 answers only: IPv4 boards have a socket of their own.
    if (::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        (ipv6 && ::setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, &yes, sizeof yes) != 0) ||
        ::bind(socket, reinterpret_cast<const sockaddr *>(&any), socketAddressSize(ipv6)) != 0 ||
        ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        failure = systemFailure();
        ::close(socket);
        return nullptr;
    }
    // Another program holding the port on every address would get some of
    // the answers instead of us: give the port back, as the one-board link does.
    if (udpPortHeldByAnother(QList<qintptr>(ours) << socket, port)) {
        failure = linkFailure(kUdpPortInUseText.arg(port));
        ::close(socket);
        ::close(wake[0]);
        ::close(wake[1]);
        return nullptr;
    }
    return std::shared_ptr<SharedUdpSocket>(
        new SharedUdpSocket(socket, wake[0], wake[1], port, ipv6));
}

SharedUdpSocket::SharedUdpSocket(int socket, int wakeRead, int wakeWrite, quint16 port, bool ipv6)
    : m_socket(socket), m_wakeRead(wakeRead), m_wakeWrite(wakeWrite), m_port(port), m_ipv6(ipv6),
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
    if (m_receiverFailure)
        mailbox->fail(*m_receiverFailure);
    m_mailboxes[boardKey(board)] = mailbox;
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

common::Status SharedUdpSocket::send(const QByteArray &datagram, const QHostAddress &to,
                                     quint16 port)
{
    // Sending needs no lock: the system keeps each datagram whole.
    const sockaddr_storage board = socketAddress(to, port, m_ipv6);
    if (::sendto(m_socket, datagram.constData(), static_cast<size_t>(datagram.size()), 0,
                 reinterpret_cast<const sockaddr *>(&board),
                 socketAddressSize(m_ipv6)) != datagram.size())
        return systemFailure();
    return {};
}

void SharedUdpSocket::receiverEnded(const common::Failure &failure)
{
    const std::lock_guard lock(m_mutex);
    m_receiverFailure = failure;
    for (const auto &[address, mailbox] : m_mailboxes)
        mailbox->fail(failure);
}

void SharedUdpSocket::receive()
{
    QByteArray buffer(kLargestDatagram, Qt::Uninitialized);
    pollfd watched[2] = {{m_socket, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
    while (!m_closing) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return receiverEnded(systemFailure());
        }
        if (watched[0].revents & POLLNVAL)
            return receiverEnded(linkFailure(qt_error_string(EBADF)));
        // Everything waiting at once: under many boards one wake-up serves several.
        for (;;) {
            sockaddr_storage from{};
            socklen_t fromSize = sizeof from;
            const ssize_t size = ::recvfrom(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                            reinterpret_cast<sockaddr *>(&from), &fromSize);
            if (size < 0) {
                if (errno == EINTR)
                    continue;
                // A socket that cannot be read any more answers nothing again;
                // anything else is nothing more to read, or a stray error
                // report, which is no board's answer.
                if (receiveFailed(errno))
                    return receiverEnded(systemFailure());
                break;
            }
            std::shared_ptr<Mailbox> mailbox;
            {
                const std::lock_guard lock(m_mutex);
                const auto open = m_mailboxes.find(senderKey(from));
                if (open != m_mailboxes.end())
                    mailbox = open->second;
            }
            if (mailbox)
                mailbox->deliver(buffer.left(size));
        }
    }
}

std::shared_ptr<SharedUdpSocket>
SharedUdpSockets::socketFor(quint16 port, QAbstractSocket::NetworkLayerProtocol family,
                            common::Status &failure)
{
    const std::lock_guard lock(m_mutex);
    failure.reset();
    const std::pair<quint16, int> key(port, family == QAbstractSocket::IPv6Protocol ? 6 : 4);
    if (const auto bound = m_sockets.find(key); bound != m_sockets.end())
        return bound->second;
    QList<qintptr> ours;
    for (const auto &[portAndFamily, socket] : m_sockets) {
        if (portAndFamily.first == port)
            ours << socket->descriptor();
    }
    std::shared_ptr<SharedUdpSocket> socket = SharedUdpSocket::bind(port, family, ours, failure);
    if (socket)
        m_sockets[key] = socket;
    return socket;
}

} // namespace pravik::link

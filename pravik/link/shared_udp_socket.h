#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QHostAddress>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace pravik::link {

// One UDP socket on a local port, for every board that answers there. Boards
// answer to the port they were sent from, which is their own port number, so
// many boards on the network answer on the same port; one socket takes every
// answer and a receiving thread sorts them by the sender's address into one
// mailbox per board. A datagram from an address without a mailbox is dropped,
// as a board's own socket would drop it. Safe to use from many threads: each
// board's transfer waits on its own mailbox only. Should the receiving thread
// end on an error, every mailbox reports that error from then on.
class SharedUdpSocket
{
public:
    class Mailbox
    {
    public:
        // Waits until a datagram is waiting (`arrived`) or `msecs` have
        // passed; the failure of the receiving thread, if it has ended.
        common::Status wait(int msecs, bool &arrived);
        // The oldest datagram waiting, or an empty one.
        QByteArray take();
        // Drops every datagram waiting.
        void discard();

    private:
        friend class SharedUdpSocket;
        void deliver(QByteArray datagram);
        void fail(const common::Failure &failure);

        std::mutex m_mutex;
        std::condition_variable m_arrived;
        std::deque<QByteArray> m_datagrams;
        common::Status m_failure;
    };

    // Binds the port on every address of the family (IPv4, or IPv6 only),
    // sharing it with programs bound to one address only (as the board
    // simulator is) but not with another that would take the answers on
    // every address too. `ours`: the program's other sockets on the port.
    static std::shared_ptr<SharedUdpSocket> bind(quint16 port,
                                                 QAbstractSocket::NetworkLayerProtocol family,
                                                 const QList<qintptr> &ours,
                                                 common::Status &failure);
    ~SharedUdpSocket();
    SharedUdpSocket(const SharedUdpSocket &) = delete;
    SharedUdpSocket &operator=(const SharedUdpSocket &) = delete;

    // Answers from `board` go into the mailbox from now on, until it is
    // closed; a newer mailbox for the same address replaces it.
    std::shared_ptr<Mailbox> openMailbox(const QHostAddress &board);
    void closeMailbox(const std::shared_ptr<Mailbox> &mailbox);

    common::Status send(const QByteArray &datagram, const QHostAddress &to, quint16 port);
    quint16 port() const { return m_port; }
    qintptr descriptor() const { return m_socket; }

private:
    SharedUdpSocket(int socket, int wakeRead, int wakeWrite, quint16 port, bool ipv6);
    void receive();
    void receiverEnded(const common::Failure &failure);

    const int m_socket;
    const int m_wakeRead;
    const int m_wakeWrite;
    const quint16 m_port;
    const bool m_ipv6;
    std::atomic<bool> m_closing{false};
    std::mutex m_mutex;
    std::map<QByteArray, std::shared_ptr<Mailbox>> m_mailboxes; // by the sender's address bytes
    common::Status m_receiverFailure;
    std::thread m_receiver;
};

// The shared sockets of one run, one per local port and address family,
// bound on first use.
class SharedUdpSockets
{
public:
    std::shared_ptr<SharedUdpSocket>
    socketFor(quint16 port, QAbstractSocket::NetworkLayerProtocol family, common::Status &failure);

private:
    std::mutex m_mutex;
    std::map<std::pair<quint16, int>, std::shared_ptr<SharedUdpSocket>> m_sockets;
};

} // namespace pravik::link

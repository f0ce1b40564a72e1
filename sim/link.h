#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

namespace LedBoardSim {

// Where a chunk of input came from, so that the answer goes back there. A
// pseudo-terminal has one peer and leaves this empty.
struct LinkPeer
{
    QHostAddress address;
    quint16 port = 0;

    QString describe() const
    {
        return address.isNull() ? QString()
                                : QStringLiteral("%1:%2").arg(address.toString()).arg(port);
    }
};

// The board's end of a line: a byte stream (pty) or datagrams (UDP).
class Link : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool open(QString *error) = 0;
    // What a sender needs to reach the board: slave path or HOST:PORT.
    virtual QString endpoint() const = 0;
    virtual QString name() const = 0;
    // True when every received chunk is one datagram, to be read on its own.
    virtual bool carriesDatagrams() const = 0;
    virtual void send(const QByteArray &bytes, const LinkPeer &peer) = 0;
    // Bytes sent that the other side has not read yet, where the link can tell.
    virtual int unreadBySender() const { return 0; }
    virtual void close() = 0;

signals:
    void received(const QByteArray &bytes, const LinkPeer &peer);
};

} // namespace LedBoardSim

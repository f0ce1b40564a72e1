#pragma once

#include "link.h"

#include <QUdpSocket>

namespace LedBoardSim {

// The board behind a network module: each datagram carries one frame, and the
// echo goes back to whoever sent it.
class UdpLink : public Link
{
    Q_OBJECT

public:
    UdpLink(const QString &host, quint16 port, QObject *parent = nullptr);

    bool open(QString *error) override;
    QString endpoint() const override;
    QString name() const override { return QStringLiteral("udp"); }
    bool carriesDatagrams() const override { return true; }
    void send(const QByteArray &bytes, const LinkPeer &peer) override;
    void close() override;

private:
    void readDatagrams();

    QString m_host;
    quint16 m_port;
    QUdpSocket m_socket;
};

} // namespace LedBoardSim

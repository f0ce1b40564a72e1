#pragma once

#include "link.h"

#include <QTimer>

class QSocketNotifier;

namespace LedBoardSim {

// The board on a pseudo-terminal: the sender opens the slave like a serial port.
class PtyLink : public Link
{
    Q_OBJECT

public:
    using Link::Link;
    ~PtyLink() override;

    bool open(QString *error) override;
    QString endpoint() const override { return m_slavePath; }
    QString name() const override { return QStringLiteral("pty"); }
    bool carriesDatagrams() const override { return false; }
    void send(const QByteArray &bytes, const LinkPeer &peer) override;
    int unreadBySender() const override;
    void close() override;

private:
    void readAvailable();

    int m_master = -1;
    int m_heldSlave = -1;
    QString m_slavePath;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_retry;
};

} // namespace LedBoardSim

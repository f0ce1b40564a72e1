#pragma once

#include "serial_link.h"

#include <QSerialPort>

namespace pravik::link {

// The board link over a serial port. Waits block on the port itself, so an
// echo is taken the moment it arrives.
class SerialTransport : public SerialLink
{
public:
    SerialTransport();

    LinkTraits traits() const override { return {true, 2}; }
    LinkResult discardInput() override;
    LinkResult send(const QByteArray &frame) override;
    LinkResult waitForData(int msecs, bool &dataWaiting) override;
    LinkResult readWaiting(QByteArray &data) override;

    bool isOpen() const override { return m_port.isOpen(); }
    void close() override;
    LinkResult configure(const QString &device, double baud) override;
    LinkResult open() override;
    void setKeepAlive(std::function<void()> keepAlive) override { m_keepAlive = std::move(keepAlive); }

private:
    void askForLowLatency();
    LinkResult failureFromPort();
    LinkResult notOpen() const;

    QSerialPort m_port;
    std::function<void()> m_keepAlive;
};

} // namespace pravik::link

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
    common::Status discardInput() override;
    common::Status send(const QByteArray &frame) override;
    common::Status waitForData(int msecs, bool &dataWaiting) override;
    common::Status readWaiting(QByteArray &data) override;

    bool isOpen() const override { return m_port.isOpen(); }
    void close() override;
    common::Status configure(const QString &device, double baud) override;
    common::Status open() override;

private:
    void askForLowLatency();
    common::Failure failureFromPort();
    common::Failure notOpen() const;

    QSerialPort m_port;
};

} // namespace pravik::link

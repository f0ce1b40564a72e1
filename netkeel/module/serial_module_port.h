#pragma once

#include "module_port.h"

#include <QSerialPort>

namespace netkeel {

// The module's serial port: 9600 baud, no parity, 8 data bits, 1 stop bit.
class SerialModulePort : public ModulePort
{
public:
    SerialModulePort();

    bool open(const QString &device) override;
    bool isOpen() const override { return m_port.isOpen(); }
    void close() override;
    bool write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override { return m_port.bytesAvailable(); }
    WaitResult waitForData(int msecs) override;
    QByteArray readAll() override { return m_port.readAll(); }
    QString errorString() const override { return m_error; }

private:
    void takeError();

    QSerialPort m_port;
    QString m_error;
};

} // namespace netkeel

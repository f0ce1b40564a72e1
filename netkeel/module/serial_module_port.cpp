#include "serial_module_port.h"

namespace netkeel {
namespace {

// Writing a command line of at most some 30 characters takes 30 ms at 9600 baud.
constexpr int kWriteTimeoutMs = 2000;

} // namespace

SerialModulePort::SerialModulePort()
{
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

void SerialModulePort::takeError()
{
    m_error = m_port.errorString();
    m_port.clearError();
}

bool SerialModulePort::open(const QString &device)
{
    m_error.clear();
    m_port.setPortName(device);
    if (!m_port.open(QIODevice::ReadWrite)) {
        takeError();
        return false;
    }
    // Characters the module sent while the port was closed belong to no
    // command of ours: each opening starts with an empty receive buffer.
    m_port.clear(QSerialPort::Input);
    return true;
}

void SerialModulePort::close()
{
    m_port.close();
    m_port.clearError();
}

bool SerialModulePort::write(const QByteArray &bytes)
{
    if (m_port.write(bytes) != bytes.size()) {
        takeError();
        return false;
    }
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(kWriteTimeoutMs)) {
            takeError();
            return false;
        }
    }
    return true;
}

WaitResult SerialModulePort::waitForData(int msecs)
{
    if (m_port.waitForReadyRead(msecs))
        return WaitResult::DataArrived;
    const QSerialPort::SerialPortError error = m_port.error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
        m_port.clearError();
        return WaitResult::TimedOut;
    }
    // A vanished adapter or a closed pseudo-terminal: ResourceError, ReadError.
    takeError();
    return WaitResult::Failed;
}

} // namespace netkeel

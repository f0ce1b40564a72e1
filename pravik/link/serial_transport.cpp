#include "serial_transport.h"

#include "link_messages.h"

#include <QDeadlineTimer>

#include <cmath>
#include <limits>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace pravik::link {
namespace {

// How long writing one frame may take: a 270-byte picture frame needs about
// 0.3 s at 9600 baud.
constexpr int kWriteTimeoutMsecs = 5000;

bool meansDeviceGone(QSerialPort::SerialPortError error)
{
    // An unplugged USB adapter or a closed pseudo-terminal shows up as one of
    // these, on open or in the middle of a transfer.
    return error == QSerialPort::DeviceNotFoundError || error == QSerialPort::ResourceError ||
           error == QSerialPort::ReadError || error == QSerialPort::WriteError;
}

} // namespace

SerialTransport::SerialTransport()
{
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

common::Failure SerialTransport::failureFromPort()
{
    const QSerialPort::SerialPortError error = m_port.error();
    const QString description = m_port.errorString();
    m_port.clearError();
    if (meansDeviceGone(error))
        return deviceUnavailable();
    return linkFailure(description);
}

common::Failure SerialTransport::notOpen() const
{
    const QString name = m_port.portName();
    return linkFailure(name.isEmpty() ? QStringLiteral("串口没有打开")
                                      : QStringLiteral("串口 %1 没有打开").arg(name));
}

void SerialTransport::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

common::Status SerialTransport::configure(const QString &device, double baud)
{
    m_port.setPortName(device);
    if (!(baud > 0) || baud != std::trunc(baud) || baud > std::numeric_limits<qint32>::max())
        return badLinkSettings();
    if (!m_port.setBaudRate(static_cast<qint32>(baud)))
        return failureFromPort();
    return {};
}

common::Status SerialTransport::open()
{
    if (!m_port.open(QIODevice::ReadWrite))
        return failureFromPort();
    askForLowLatency();
    return {};
}

void SerialTransport::askForLowLatency()
{
#ifdef Q_OS_LINUX
    // USB serial adapters hold received bytes for up to 16 ms before passing
    // them on; with one echo byte per frame that would dominate a transfer.
    // Ports that know no such setting (a pseudo-terminal) simply refuse it.
    serial_struct serial{};
    const int fd = static_cast<int>(m_port.handle());
    if (fd >= 0 && ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &serial);
    }
#endif
}

common::Status SerialTransport::discardInput()
{
    if (!m_port.isOpen())
        return notOpen();
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
    if (m_port.error() != QSerialPort::NoError)
        return failureFromPort();
    return {};
}

common::Status SerialTransport::send(const QByteArray &frame)
{
    if (!m_port.isOpen())
        return notOpen();
    if (m_port.write(frame) != frame.size())
        return failureFromPort();
    // The write times out only when no byte at all leaves for that long.
    while (m_port.bytesToWrite() > 0) {
        if (m_port.waitForBytesWritten(kWriteTimeoutMsecs))
            continue;
        if (m_port.error() != QSerialPort::TimeoutError)
            return failureFromPort();
        m_port.clearError();
        return linkFailure(QStringLiteral("串口 %1 写入超时").arg(m_port.portName()));
    }
    return {};
}

common::Status SerialTransport::waitForData(int msecs, bool &dataWaiting)
{
    if (!m_port.isOpen())
        return notOpen();
    dataWaiting = m_port.bytesAvailable() > 0;
    if (dataWaiting)
        return {};
    if (m_port.waitForReadyRead(msecs)) {
        dataWaiting = m_port.bytesAvailable() > 0;
        return {};
    }
    if (m_port.error() == QSerialPort::TimeoutError || m_port.error() == QSerialPort::NoError) {
        m_port.clearError();
        return {};
    }
    return failureFromPort();
}

common::Status SerialTransport::readWaiting(QByteArray &data)
{
    if (!m_port.isOpen())
        return notOpen();
    data = m_port.readAll();
    if (m_port.error() != QSerialPort::NoError && m_port.error() != QSerialPort::TimeoutError)
        return failureFromPort();
    return {};
}

} // namespace pravik::link

#pragma once

#include <QByteArray>
#include <QString>

// The serial line to the network module, at 9600 baud, no parity, 8 data bits
// and 1 stop bit. A fake takes its place in the tests.
namespace netkeel {

enum class WaitResult { DataArrived, TimedOut, Failed };

class ModulePort
{
public:
    virtual ~ModulePort() = default;

    // Opens the device with the receive buffer empty; on failure errorString()
    // says why.
    virtual bool open(const QString &device) = 0;
    virtual bool isOpen() const = 0;
    // Closing discards anything still buffered.
    virtual void close() = 0;

    // Sends the whole line; false when the device failed.
    virtual bool write(const QByteArray &bytes) = 0;
    // Characters received and not yet read.
    virtual qint64 bytesAvailable() const = 0;
    // Blocks until more characters arrive or msecs have passed.
    virtual WaitResult waitForData(int msecs) = 0;
    virtual QByteArray readAll() = 0;

    virtual QString errorString() const = 0;
};

} // namespace netkeel

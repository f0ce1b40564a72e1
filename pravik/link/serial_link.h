#pragma once

#include "transport.h"

#include <cstdint>

namespace pravik::link {

// The serial port Comm1 as the board link uses it.
class SerialLink : public Transport
{
public:
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Names the device and its settings (baud rate, no parity, 8 data bits,
    // 1 stop bit) for the next open.
    virtual common::Status configure(const QString &device, double baud) = 0;
    virtual common::Status open() = 0;
};

// The UDP socket Winsock1 as the board link uses it: datagrams go to the
// board's address and port and are taken only from the board's address.
class DatagramLink : public Transport
{
public:
    virtual void setRemote(const QString &host, std::int32_t port) = 0;
    virtual std::int32_t localPort() const = 0;
    virtual common::Status setLocalPort(std::int32_t port) = 0;
};

} // namespace pravik::link

#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <cstdint>

namespace pravik::link {

class Clock;
class TickWaiter;
class Transport;

// The exchange's result codes, carried by its failures.
enum class ExchangeResult : int {
    Ok = 0,         // the board echoed the checksum, or the echo is not awaited
    WrongEcho = 3,  // the echo differed from the checksum twice
    NoEcho = 4,     // no echo within the time-out
    LinkFailed = 5, // the port or socket failed
};

// The result code a failure stands for: Ok for none, LinkFailed for a failure
// that is no exchange's.
ExchangeResult exchangeResultOf(const common::Status &status);

// What one exchange needs besides the transport.
struct ExchangeContext
{
    std::uint8_t busAddress = 1;
    bool feedback = true; // wait for the board's echo of each frame
    Clock &clock;
    TickWaiter &tickWaiter;
};

// Sends payload bytes 0..n-1 of `buffer` in one frame and checks the board's
// echo. The checksum is stored at index n, which must exist. A wrong echo is
// answered by sending the frame once more within the same time-out. A failure
// comes back with the message the operator is to see: "超时" for no echo,
// "校验错误" for a wrong one twice, the link's own for a port or socket.
common::Status exchangePacket(Transport &transport, const ExchangeContext &context,
                              QByteArray &buffer, int checksumIndex);

} // namespace pravik::link

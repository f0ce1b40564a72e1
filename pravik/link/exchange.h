#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>

namespace common {
class Prompter;
}

namespace pravik::link {

class Clock;
class TickWaiter;
class Transport;

enum class ExchangeResult : int {
    Ok = 0,         // the board echoed the checksum, or the echo is not awaited
    WrongEcho = 3,  // the echo differed from the checksum twice
    NoEcho = 4,     // no echo within the time-out
    LinkFailed = 5, // the port or socket failed; the failure was reported
};

// What one exchange needs besides the transport.
struct ExchangeContext
{
    std::uint8_t busAddress = 1;
    bool feedback = true; // wait for the board's echo of each frame
    common::Prompter &prompter;
    Clock &clock;
    TickWaiter &tickWaiter;
    // Set by a window that must stay alive while the board is awaited: it is
    // called before each frame, and the wait for an echo is cut into slices
    // of kKeepAliveSliceMsecs with a call between them. The time-out stays
    // the same.
    std::function<void()> keepAlive = {};
};

// Sends payload bytes 0..n-1 of `buffer` in one frame and checks the board's
// echo. The checksum is stored at index n, which must exist. A wrong echo is
// answered by sending the frame once more within the same time-out; every
// failure is shown to the operator before the result is returned.
ExchangeResult exchangePacket(Transport &transport, const ExchangeContext &context,
                              QByteArray &buffer, int checksumIndex);

} // namespace pravik::link

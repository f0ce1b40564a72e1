#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace pravik::link {

// Why a port or socket operation failed.
struct LinkFailure
{
    enum class Kind {
        DeviceUnavailable, // the device vanished or cannot be found (an unplugged adapter)
        BadSettings,       // the settings cannot be applied to the port
        Other,             // anything else; the description says what
    };
    Kind kind = Kind::Other;
    QString description;
};

// Empty when the operation succeeded.
using LinkResult = std::optional<LinkFailure>;

// The longest a window waits for the link before it looks at its own events
// again (a repaint, a move, the stop button).
inline constexpr int kKeepAliveSliceMsecs = 20;

// How the two kinds of link differ for the packet exchange.
struct LinkTraits
{
    bool discardBeforeSend; // a serial line drops stale bytes before each frame
    int timeoutSeconds;     // the echo is given up once more whole seconds have passed
};

// One link to a board: send a frame, wait for and read the board's answer.
class Transport
{
public:
    virtual ~Transport() = default;
    virtual LinkTraits traits() const = 0;
    virtual LinkResult discardInput() = 0;
    virtual LinkResult send(const QByteArray &frame) = 0;
    // Blocks until data from the board is waiting or `msecs` have passed,
    // without running window events.
    virtual LinkResult waitForData(int msecs, bool &dataWaiting) = 0;
    // What is waiting: every byte on a serial line, one datagram on UDP.
    virtual LinkResult readWaiting(QByteArray &data) = 0;
};

} // namespace pravik::link

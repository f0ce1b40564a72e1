#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QString>

namespace pravik::link {

// How the two kinds of link differ for the packet exchange.
struct LinkTraits
{
    bool discardBeforeSend; // a serial line drops stale bytes before each frame
    int timeoutSeconds;     // the echo is given up once more whole seconds have passed
};

// One link to a board: send a frame, wait for and read the board's answer.
// A failing operation returns its failure (code 5, see link_messages.h).
class Transport
{
public:
    virtual ~Transport() = default;
    virtual LinkTraits traits() const = 0;
    virtual common::Status discardInput() = 0;
    virtual common::Status send(const QByteArray &frame) = 0;
    // Blocks until data from the board is waiting or `msecs` have passed.
    virtual common::Status waitForData(int msecs, bool &dataWaiting) = 0;
    // What is waiting: every byte on a serial line, one datagram on UDP.
    virtual common::Status readWaiting(QByteArray &data) = 0;
};

} // namespace pravik::link

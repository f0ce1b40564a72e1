#pragma once

#include <QByteArray>

namespace netkeel {

class ModulePort;

enum class ExchangeStatus {
    Answered,   // more characters than the threshold arrived in time
    TimedOut,   // the wait ran out; some characters may still have arrived
    PortFailed, // the device failed while writing or waiting
};

struct ExchangeTimes
{
    int waitMs = 0;
    int pauseMs = 0;
};

// Sends one command line, waits until more than threshold characters have
// arrived (or the wait runs out), then pauses so that the rest of the answer
// comes in. The pause follows a time-out too. What arrived stays in the port
// for the caller to read; it is not discarded.
ExchangeStatus exchange(ModulePort &port, const QByteArray &line, int threshold,
                        const ExchangeTimes &times);

} // namespace netkeel

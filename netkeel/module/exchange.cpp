#include "exchange.h"

#include "module_port.h"

#include <QDeadlineTimer>

#include <algorithm>

namespace netkeel {
namespace {

int remainingMs(const QDeadlineTimer &deadline)
{
    return static_cast<int>(deadline.remainingTime());
}

} // namespace

ExchangeStatus exchange(ModulePort &port, const QByteArray &line, int threshold,
                        const ExchangeTimes &times)
{
    if (!port.write(line))
        return ExchangeStatus::PortFailed;

    // Blocks on the device until characters arrive; no busy counting.
    bool timedOut = false;
    const QDeadlineTimer waitDeadline(std::max(times.waitMs, 0));
    while (port.bytesAvailable() <= threshold) {
        const int left = remainingMs(waitDeadline);
        if (left <= 0) {
            timedOut = true;
            break;
        }
        const WaitResult result = port.waitForData(left);
        if (result == WaitResult::Failed)
            return ExchangeStatus::PortFailed;
        if (result == WaitResult::TimedOut) {
            timedOut = port.bytesAvailable() <= threshold;
            break;
        }
    }

    const QDeadlineTimer pauseDeadline(std::max(times.pauseMs, 0));
    for (int left = remainingMs(pauseDeadline); left > 0; left = remainingMs(pauseDeadline)) {
        const WaitResult result = port.waitForData(left);
        if (result == WaitResult::Failed)
            return ExchangeStatus::PortFailed;
        if (result == WaitResult::TimedOut)
            break;
    }
    return timedOut ? ExchangeStatus::TimedOut : ExchangeStatus::Answered;
}

} // namespace netkeel

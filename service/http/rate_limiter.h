#pragma once

#include <QHash>
#include <QString>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>

namespace pravikd::http {

using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

// Failed logins per address: the tenth failure within a minute shuts the
// address out for a minute, whatever it presents then, so that tokens cannot
// be guessed at the speed of the network.
class RateLimiter
{
public:
    static constexpr int kFailuresAllowed = 10;
    static constexpr std::chrono::seconds kWindow{60};
    static constexpr std::chrono::seconds kShutOut{60};

    explicit RateLimiter(SteadyNow now);

    bool isShutOut(const QString &address);
    void recordFailure(const QString &address);
    // Seconds until the address is let in again; 0 when it is not shut out.
    int secondsLeft(const QString &address);

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Record
    {
        std::deque<TimePoint> failures; // within the last window, oldest first
        TimePoint shutOutUntil{};
    };
    void forgetStale(TimePoint now);

    const SteadyNow m_now;
    std::mutex m_mutex;
    QHash<QString, Record> m_records;
};

} // namespace pravikd::http

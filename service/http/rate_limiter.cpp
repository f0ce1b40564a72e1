#include "rate_limiter.h"

namespace pravikd::http {
namespace {

// Beyond this many addresses on record, those with nothing recent are
// forgotten, so that a sweep of addresses cannot fill the memory.
constexpr qsizetype kRecordsKept = 4096;

} // namespace

RateLimiter::RateLimiter(SteadyNow now) : m_now(std::move(now)) {}

bool RateLimiter::isShutOut(const QString &address)
{
    return secondsLeft(address) > 0;
}

int RateLimiter::secondsLeft(const QString &address)
{
    const TimePoint now = m_now();
    const std::lock_guard lock(m_mutex);
    const auto record = m_records.constFind(address);
    if (record == m_records.cend() || record->shutOutUntil <= now)
        return 0;
    const auto left = std::chrono::ceil<std::chrono::seconds>(record->shutOutUntil - now);
    return int(left.count());
}

void RateLimiter::recordFailure(const QString &address)
{
    const TimePoint now = m_now();
    const std::lock_guard lock(m_mutex);
    if (m_records.size() >= kRecordsKept && !m_records.contains(address))
        forgetStale(now);
    Record &record = m_records[address];
    if (record.shutOutUntil > now)
        return;
    while (!record.failures.empty() && now - record.failures.front() >= kWindow)
        record.failures.pop_front();
    record.failures.push_back(now);
    if (int(record.failures.size()) >= kFailuresAllowed) {
        record.failures.clear();
        record.shutOutUntil = now + kShutOut;
    }
}

void RateLimiter::forgetStale(TimePoint now)
{
    for (auto record = m_records.begin(); record != m_records.end();) {
        const bool recent = record->shutOutUntil > now ||
                            (!record->failures.empty() && now - record->failures.back() < kWindow);
        record = recent ? std::next(record) : m_records.erase(record);
    }
}

} // namespace pravikd::http

#pragma once

#include <atomic>

namespace pravik::jobs {

// Asks a running job to stop. The job looks at it before each frame, so a
// frame on the wire is always answered or timed out first and the board is
// left with exactly the frames it acknowledged. Setting it is safe from a
// signal handler.
class StopToken
{
public:
    // `quietly`: the program is closing; the job tells nobody how far it got.
    void requestStop(bool quietly = false) noexcept
    {
        m_quiet.store(quietly, std::memory_order_relaxed);
        m_stop.store(true, std::memory_order_release);
    }
    bool stopRequested() const noexcept { return m_stop.load(std::memory_order_acquire); }
    bool quiet() const noexcept { return m_quiet.load(std::memory_order_relaxed); }
    // Ready for the next job.
    void reset() noexcept
    {
        m_stop.store(false, std::memory_order_relaxed);
        m_quiet.store(false, std::memory_order_relaxed);
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_quiet{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

} // namespace pravik::jobs

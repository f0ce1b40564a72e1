#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A count the threads of a test wait on: each waits until it has reached a
// number. The pass of a test never depends on time; a wait that ends on the
// deadline means the awaited thing never happened, and the test fails rather
// than hangs.
class Gate
{
public:
    void add(int step = 1)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_count += step;
        }
        m_changed.notify_all();
    }

    // True once the count is at least `count`; false when it never got there.
    bool waitFor(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_count >= count; });
    }

    int count()
    {
        const std::lock_guard lock(m_mutex);
        return m_count;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_count = 0;
};

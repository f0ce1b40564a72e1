#include "fleet_runner.h"

#include "pravik/link/serial_transport.h"

#include <QThread>

namespace pravik::fleet {

FleetRunner::FleetRunner(int linksAtOnce, LineMaker makeLine)
    : m_linksAtOnce(linksAtOnce > 0 ? linksAtOnce : kMostLinksAtOnce),
      m_makeLine(makeLine ? std::move(makeLine)
                          : [] { return std::make_unique<link::SerialTransport>(); })
{
}

FleetRunner::~FleetRunner()
{
    waitUntilIdle();
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_runnable.notify_all();
    for (const auto &worker : m_workers)
        worker->wait();
}

void FleetRunner::submit(const QString &linkIdentity, Work work)
{
    {
        const std::lock_guard lock(m_mutex);
        Lane &lane = m_lanes[linkIdentity];
        lane.queue.push_back(std::move(work));
        ++m_unfinished;
        // A lane at work takes the new piece itself, after the ones before it.
        if (!lane.running && lane.queue.size() == 1)
            m_waitingLanes.push_back(linkIdentity);
        startWorkerIfNeeded();
    }
    m_runnable.notify_one();
}

void FleetRunner::startWorkerIfNeeded()
{
    if (m_idleWorkers >= static_cast<int>(m_waitingLanes.size()) ||
        static_cast<int>(m_workers.size()) >= m_linksAtOnce)
        return;
    m_workers.emplace_back(QThread::create([this] { workOnLanes(); }));
    ++m_idleWorkers;
    m_workers.back()->start();
}

void FleetRunner::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_unfinished == 0; });
}

int FleetRunner::workerCount()
{
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_workers.size());
}

void FleetRunner::workOnLanes()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_runnable.wait(lock, [this] { return m_closing || !m_waitingLanes.empty(); });
        if (m_waitingLanes.empty())
            return; // closing
        Lane &lane = m_lanes[m_waitingLanes.front()];
        m_waitingLanes.pop_front();
        --m_idleWorkers;
        lane.running = true;
        do
            serveLane(lane, lock);
        while (!lane.queue.empty()); // work that came while the port closed
        lane.running = false;
        ++m_idleWorkers;
    }
}

void FleetRunner::serveLane(Lane &lane, std::unique_lock<std::mutex> &lock)
{
    // The line's port lives on this thread while it serves the lane, and is
    // closed before the lane is free for another thread.
    lock.unlock();
    std::unique_ptr<link::SerialLink> line = m_makeLine();
    FleetLink fleetLink{*line, m_sockets};
    lock.lock();
    while (!lane.queue.empty()) {
        const Work work = std::move(lane.queue.front());
        lane.queue.pop_front();
        lock.unlock();
        work(fleetLink);
        lock.lock();
        if (--m_unfinished == 0)
            m_idle.notify_all();
    }
    lock.unlock();
    // The port closes here, outside the lock.
    line.reset();
    lock.lock();
}

} // namespace pravik::fleet

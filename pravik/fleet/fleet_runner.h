#pragma once

#include "pravik/link/shared_udp_socket.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class QThread;

namespace pravik::link {
class SerialLink;
}

namespace pravik::fleet {

// What the work for one board of a fleet gets to reach it: the serial port of
// its line, shared with the boards after it on the same line, and the UDP
// sockets shared by every board on a local port.
struct FleetLink
{
    link::SerialLink &line;
    link::SharedUdpSockets &sockets;
};

// Runs the work of many boards: boards on different links at the same time,
// each link on a thread of its own, at most `linksAtOnce` links at once;
// boards on one link (a serial line, or one address) one after the other, in
// the order their work was given. The work of a board runs entirely on one
// thread, which makes its Qt objects there. A board's failure keeps nobody
// else waiting. The pool lives as long as the runner, so a service can keep
// handing it work.
class FleetRunner
{
public:
    using Work = std::function<void(FleetLink &link)>;
    // Makes a line's serial port, on the thread that will use it.
    using LineMaker = std::function<std::unique_ptr<link::SerialLink>()>;

    static constexpr int kMostLinksAtOnce = 64;

    explicit FleetRunner(int linksAtOnce = kMostLinksAtOnce, LineMaker makeLine = {});
    // Waits for the work under way and the work queued.
    ~FleetRunner();
    FleetRunner(const FleetRunner &) = delete;
    FleetRunner &operator=(const FleetRunner &) = delete;

    // Queues `work` for a board on the link `linkIdentity` names.
    void submit(const QString &linkIdentity, Work work);
    // Blocks until every piece of work given so far has ended.
    void waitUntilIdle();
    // The threads the runner has: one per link at work, up to its limit.
    int workerCount();

private:
    struct Lane
    {
        std::deque<Work> queue;
        bool running = false;
    };

    void workOnLanes();
    void serveLane(Lane &lane, std::unique_lock<std::mutex> &lock);
    void startWorkerIfNeeded();

    const int m_linksAtOnce;
    LineMaker m_makeLine;
    link::SharedUdpSockets m_sockets;
    std::mutex m_mutex;
    std::condition_variable m_runnable;
    std::condition_variable m_idle;
    std::map<QString, Lane> m_lanes;
    std::deque<QString> m_waitingLanes; // lanes with work and no thread
    int m_idleWorkers = 0;
    int m_unfinished = 0; // pieces of work queued or running
    bool m_closing = false;
    std::vector<std::unique_ptr<QThread>> m_workers;
};

} // namespace pravik::fleet

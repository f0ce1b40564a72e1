#pragma once

#include "pravik/service/remote_service.h"

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>

namespace pravikd::http {

// The text of one server-sent event: "event: TYPE", "data: JSON", a blank line.
QByteArray eventText(const pravik::service::ServiceEvent &event);

// What one listener of the event stream has yet to be sent, as the text of
// server-sent events. The service pushes from its threads; the server's
// thread of the listener takes. A listener that falls this far behind is cut
// off rather than let the queue grow.
class EventQueue
{
public:
    static constexpr std::size_t kMostQueued = 1024;

    enum class Next { Event, Quiet, End };

    void push(const pravik::service::ServiceEvent &event);
    // An event's text as eventText() made it.
    void push(const QByteArray &text);
    // Waits up to `quiet` for the next event's text; Quiet when none came,
    // End once the queue is closed or the listener fell behind.
    Next take(std::chrono::milliseconds quiet, QByteArray &text);
    // The same with the text of every event queued by then, and not sooner
    // than `gather` after the last: a job's screens, which come hundreds a
    // second from a fast board, reach each listener in a few writes instead
    // of one each, which would take the processor from the sending.
    Next takeAll(std::chrono::milliseconds quiet, std::chrono::milliseconds gather,
                 QByteArray &text);
    void close();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queued;
    bool m_ended = false;
    std::chrono::steady_clock::time_point m_lastTaken;
};

class EventHub;

// One listener's stream: its queue, fed by the hub until the feed ends.
class EventFeed
{
public:
    EventFeed(EventHub &hub, std::shared_ptr<EventQueue> queue);
    ~EventFeed();
    EventFeed(const EventFeed &) = delete;
    EventFeed &operator=(const EventFeed &) = delete;

    EventQueue &queue() { return *m_queue; }

private:
    EventHub &m_hub;
    std::shared_ptr<EventQueue> m_queue;
};

// The feeds that are open, so that a stopping server can end every stream and
// a crowd of listeners cannot take all the server's threads. While any feed
// is open the hub holds one subscription to the service for all of them and
// turns each event into text once, not once for every listener: a fast board
// sends hundreds of screens a second.
class EventHub
{
public:
    static constexpr std::size_t kMostListeners = 64;

    ~EventHub();

    // A new feed of the service's events; nothing when the hub is closed or
    // full. The hub outlives its feeds.
    std::shared_ptr<EventFeed> open(pravik::service::RemoteService &service);
    void closeAll();
    std::size_t openFeeds();

private:
    friend class EventFeed;
    void close(EventQueue *queue);
    void publish(const pravik::service::ServiceEvent &event);
    // Subscribes while there are feeds and the hub is open, and not
    // otherwise.
    void subscribeAsNeeded(pravik::service::RemoteService *service);

    std::mutex m_mutex; // the queues and whether the hub is closed
    std::set<EventQueue *> m_queues;
    bool m_closed = false;
    // Taken before m_mutex, never while the service calls publish(), which
    // holds the service's own lock.
    std::mutex m_subscribing;
    std::shared_ptr<void> m_subscription;
};

} // namespace pravikd::http

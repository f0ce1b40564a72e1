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
    // Waits up to `quiet` for the next event's text; Quiet when none came,
    // End once the queue is closed or the listener fell behind.
    Next take(std::chrono::milliseconds quiet, QByteArray &text);
    void close();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queued;
    bool m_ended = false;
};

class EventHub;

// One listener's stream: its queue and its subscription to the service,
// which ends with the feed.
class EventFeed
{
public:
    EventFeed(EventHub &hub, std::shared_ptr<EventQueue> queue);
    ~EventFeed();
    EventFeed(const EventFeed &) = delete;
    EventFeed &operator=(const EventFeed &) = delete;

    EventQueue &queue() { return *m_queue; }

private:
    friend class EventHub;
    EventHub &m_hub;
    std::shared_ptr<EventQueue> m_queue;
    std::shared_ptr<void> m_subscription;
};

// The feeds that are open, so that a stopping server can end every stream and
// a crowd of listeners cannot take all the server's threads.
class EventHub
{
public:
    static constexpr std::size_t kMostListeners = 64;

    // A new feed subscribed to the service; nothing when the hub is closed or
    // full. The hub outlives its feeds.
    std::shared_ptr<EventFeed> open(pravik::service::RemoteService &service);
    void closeAll();
    std::size_t openFeeds();

private:
    friend class EventFeed;
    std::mutex m_mutex;
    std::set<EventQueue *> m_queues;
    bool m_closed = false;
};

} // namespace pravikd::http

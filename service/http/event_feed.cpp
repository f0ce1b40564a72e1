#include "event_feed.h"

#include <QJsonDocument>

namespace pravikd::http {

QByteArray eventText(const pravik::service::ServiceEvent &event)
{
    // A line break in the type would start a field of its own.
    QByteArray type = event.type.toUtf8();
    type.replace('\r', "").replace('\n', "");
    return "event: " + type +
           "\ndata: " + QJsonDocument(event.data).toJson(QJsonDocument::Compact) + "\n\n";
}

void EventQueue::push(const pravik::service::ServiceEvent &event)
{
    push(eventText(event));
}

void EventQueue::push(const QByteArray &text)
{
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_ended)
            return;
        // The listener waits for the first event or for the end; the events
        // after the first wait with it.
        wake = m_queued.empty();
        if (m_queued.size() >= kMostQueued) {
            m_queued.clear();
            m_ended = wake = true;
        } else {
            m_queued.push_back(text);
        }
    }
    if (wake)
        m_changed.notify_all();
}

EventQueue::Next EventQueue::take(std::chrono::milliseconds quiet, QByteArray &text)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, quiet, [this] { return m_ended || !m_queued.empty(); });
    if (m_ended)
        return Next::End;
    if (m_queued.empty())
        return Next::Quiet;
    text = m_queued.front();
    m_queued.pop_front();
    return Next::Event;
}

EventQueue::Next EventQueue::takeAll(std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds gather, QByteArray &text)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, quiet, [this] { return m_ended || !m_queued.empty(); });
    if (!m_ended && !m_queued.empty())
        m_changed.wait_until(lock, m_lastTaken + gather, [this] { return m_ended; });
    if (m_ended)
        return Next::End;
    if (m_queued.empty())
        return Next::Quiet;
    text.clear();
    for (const QByteArray &event : m_queued)
        text += event;
    m_queued.clear();
    m_lastTaken = std::chrono::steady_clock::now();
    return Next::Event;
}

void EventQueue::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
}

EventFeed::EventFeed(EventHub &hub, std::shared_ptr<EventQueue> queue)
    : m_hub(hub), m_queue(std::move(queue))
{
}

EventFeed::~EventFeed()
{
    m_hub.close(m_queue.get());
}

EventHub::~EventHub()
{
    closeAll();
}

std::shared_ptr<EventFeed> EventHub::open(pravik::service::RemoteService &service)
{
    auto queue = std::make_shared<EventQueue>();
    {
        const std::lock_guard lock(m_mutex);
        if (m_closed || m_queues.size() >= kMostListeners)
            return {};
        m_queues.insert(queue.get());
    }
    auto feed = std::make_shared<EventFeed>(*this, queue);
    subscribeAsNeeded(&service);
    return feed;
}

void EventHub::close(EventQueue *queue)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queues.erase(queue);
    }
    subscribeAsNeeded(nullptr);
}

void EventHub::closeAll()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        for (EventQueue *queue : m_queues)
            queue->close();
    }
    subscribeAsNeeded(nullptr);
}

std::size_t EventHub::openFeeds()
{
    const std::lock_guard lock(m_mutex);
    return m_queues.size();
}

void EventHub::publish(const pravik::service::ServiceEvent &event)
{
    const std::lock_guard lock(m_mutex);
    if (m_queues.empty())
        return;
    const QByteArray text = eventText(event);
    for (EventQueue *queue : m_queues)
        queue->push(text);
}

void EventHub::subscribeAsNeeded(pravik::service::RemoteService *service)
{
    std::shared_ptr<void> dropped;
    const std::lock_guard subscribing(m_subscribing);
    bool wanted = false;
    {
        const std::lock_guard lock(m_mutex);
        wanted = !m_closed && !m_queues.empty();
    }
    if (wanted && !m_subscription && service)
        m_subscription = service->subscribe(
            [this](const pravik::service::ServiceEvent &event) { publish(event); });
    else if (!wanted)
        dropped = std::move(m_subscription);
}

} // namespace pravikd::http

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
    const QByteArray text = eventText(event);
    {
        const std::lock_guard lock(m_mutex);
        if (m_ended)
            return;
        if (m_queued.size() >= kMostQueued) {
            m_queued.clear();
            m_ended = true;
        } else {
            m_queued.push_back(text);
        }
    }
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
    m_subscription.reset();
    const std::lock_guard lock(m_hub.m_mutex);
    m_hub.m_queues.erase(m_queue.get());
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
    // The listener holds the queue alone, never the feed, so that dropping
    // the feed ends the subscription.
    feed->m_subscription = service.subscribe(
        [queue](const pravik::service::ServiceEvent &event) { queue->push(event); });
    return feed;
}

void EventHub::closeAll()
{
    const std::lock_guard lock(m_mutex);
    m_closed = true;
    for (EventQueue *queue : m_queues)
        queue->close();
}

std::size_t EventHub::openFeeds()
{
    const std::lock_guard lock(m_mutex);
    return m_queues.size();
}

} // namespace pravikd::http

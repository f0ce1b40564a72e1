// The event stream: the service's events in order as server-sent events, a
// comment while it is quiet, and an end when the listener goes, falls behind
// or the server stops.
#include "http_fixture.h"

#include "service/http/event_feed.h"

#include <future>

namespace {

// A listener of /api/v1/events on a thread of its own, until `enough` says
// it has what it waited for or the stream ends.
class Listener
{
public:
    Listener(quint16 port, const QString &token, std::function<bool(const std::string &)> enough)
    {
        m_done = std::async(std::launch::async, [this, port, token, enough] {
            httplib::Client client("127.0.0.1", port);
            client.set_read_timeout(30);
            return client.Get(
                "/api/v1/events", bearer(token),
                [this](const httplib::Response &response) {
                    m_type = response.get_header_value("Content-Type");
                    m_status.set_value(response.status);
                    return true;
                },
                [this, enough](const char *data, std::size_t size) {
                    const std::lock_guard lock(m_mutex);
                    m_text.append(data, size);
                    return !enough(m_text);
                });
        });
    }
    // The answer's status, once its headers are in: the stream is subscribed.
    int status() { return m_status.get_future().get(); }
    std::string type() const { return m_type; }
    // Whether the stream ended within a bound far beyond what it needs.
    bool ended() { return m_done.wait_for(std::chrono::seconds(20)) == std::future_status::ready; }
    std::string text()
    {
        const std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    std::promise<int> m_status;
    std::string m_type;
    std::future<httplib::Result> m_done;
    std::mutex m_mutex;
    std::string m_text;
};

bool holds(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

class HttpEvents : public HttpFixture
{
};

TEST_F(HttpEvents, TheServicesEventsArriveInOrder)
{
    const std::string last = "event: action\n";
    Listener listener(control->port(), viewerToken,
                      [&](const std::string &text) { return holds(text, last); });
    ASSERT_EQ(listener.status(), 200);
    service.push(QStringLiteral("state"), {{QStringLiteral("board"), QStringLiteral("a")}});
    service.push(QStringLiteral("progress"),
                 {{QStringLiteral("job"), 8}, {QStringLiteral("screen"), 1}});
    service.push(QStringLiteral("job"), {{QStringLiteral("id"), 8}});
    service.push(QStringLiteral("action"), {{QStringLiteral("what"), QStringLiteral("显示")}});
    ASSERT_TRUE(listener.ended());
    EXPECT_EQ(listener.text(), "event: state\ndata: {\"board\":\"a\"}\n\n"
                               "event: progress\ndata: {\"job\":8,\"screen\":1}\n\n"
                               "event: job\ndata: {\"id\":8}\n\n"
                               "event: action\ndata: {\"what\":\"显示\"}\n\n");
    EXPECT_EQ(listener.type(), "text/event-stream");
}

TEST_F(HttpEvents, AQuietStreamSaysItIsStillThere)
{
    EXPECT_EQ(RemoteControlConfig().keepAliveInterval, std::chrono::seconds(15));
    RemoteControlConfig quick = config();
    quick.keepAliveInterval = std::chrono::milliseconds(20);
    startServer(quick);
    Listener listener(control->port(), operatorToken, [](const std::string &text) {
        return holds(text, ": keep-alive\n\n: keep-alive\n\n");
    });
    ASSERT_EQ(listener.status(), 200);
    EXPECT_TRUE(listener.ended());
}

TEST_F(HttpEvents, AListenerThatLeftIsUnsubscribed)
{
    {
        Listener listener(control->port(), operatorToken,
                          [](const std::string &text) { return holds(text, "event: job"); });
        ASSERT_EQ(listener.status(), 200);
        EXPECT_EQ(service.listeners(), 2u); // the stream's and the audit trail's
        service.push(QStringLiteral("job"), {});
        ASSERT_TRUE(listener.ended());
    }
    // The server learns of the closed connection when it next writes to it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (service.listeners() > 1 && std::chrono::steady_clock::now() < deadline) {
        service.push(QStringLiteral("state"), {});
        std::this_thread::yield();
    }
    EXPECT_EQ(service.listeners(), 1u);
}

TEST_F(HttpEvents, StoppingTheServerEndsEveryStream)
{
    Listener first(control->port(), operatorToken, [](const std::string &) { return false; });
    Listener second(control->port(), viewerToken, [](const std::string &) { return false; });
    ASSERT_EQ(first.status(), 200);
    ASSERT_EQ(second.status(), 200);
    control.reset();
    ASSERT_TRUE(first.ended());
    ASSERT_TRUE(second.ended());
    EXPECT_EQ(service.listeners(), 0u);
}

TEST(EventQueue, AListenerTooFarBehindIsCutOffAndItsQueueDropped)
{
    EventQueue queue;
    for (std::size_t i = 0; i < EventQueue::kMostQueued; ++i)
        queue.push({QStringLiteral("state"), {}});
    QByteArray text;
    ASSERT_EQ(queue.take(std::chrono::milliseconds(0), text), EventQueue::Next::Event);
    EXPECT_EQ(text, "event: state\ndata: {}\n\n");
    queue.push({QStringLiteral("state"), {}}); // fills the place taken
    queue.push({QStringLiteral("state"), {}}); // one too many
    EXPECT_EQ(queue.take(std::chrono::milliseconds(0), text), EventQueue::Next::End);
    queue.push({QStringLiteral("state"), {}});
    EXPECT_EQ(queue.take(std::chrono::milliseconds(0), text), EventQueue::Next::End);
    // A type cannot start a field of its own.
    EXPECT_EQ(eventText({QStringLiteral("job\ndata: x"), {}}), "event: jobdata: x\ndata: {}\n\n");
}

TEST(EventHub, TakesNoMoreListenersThanItsBound)
{
    FakeRemoteService service;
    EventHub hub;
    std::vector<std::shared_ptr<EventFeed>> feeds;
    for (std::size_t i = 0; i < EventHub::kMostListeners; ++i)
        feeds.push_back(hub.open(service));
    EXPECT_NE(feeds.back(), nullptr);
    EXPECT_EQ(hub.open(service), nullptr);
    feeds.pop_back();
    EXPECT_NE(hub.open(service), nullptr);
    // One subscription serves every feed, each of which gets every event.
    EXPECT_EQ(service.listeners(), 1u);
    service.push(QStringLiteral("job"), {{QStringLiteral("id"), 8}});
    for (const std::shared_ptr<EventFeed> &feed : feeds) {
        QByteArray text;
        ASSERT_EQ(feed->queue().take(std::chrono::milliseconds(0), text), EventQueue::Next::Event);
        EXPECT_EQ(text, "event: job\ndata: {\"id\":8}\n\n");
    }
    feeds.clear();
    EXPECT_EQ(service.listeners(), 0u);
}

} // namespace

#pragma once

#include "pravik/link/clock.h"
#include "pravik/link/serial_link.h"
#include "pravik/link/tick_waiter.h"

#include <QList>
#include <deque>

// The bytes of a frame or answer, written as numbers.
inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// A 22-byte command (checksum at 21) whose payload starts with `leading`.
inline QByteArray commandStartingWith(std::initializer_list<int> leading)
{
    return (bytes(leading) + QByteArray(22, '\0')).left(22);
}

// A clock the tests move by hand; waits on the fake transport move it too.
class FakeClock : public pravik::link::Clock
{
public:
    QDateTime currentDateTime() const override { return dateTime; }
    std::int64_t monotonicMsecs() const override { return msecs; }

    QDateTime dateTime;
    std::int64_t msecs = 10'000;
};

class CountingTickWaiter : public pravik::link::TickWaiter
{
public:
    void waitOneTick() override { ++ticks; }
    int ticks = 0;
};

// A board on a scripted line: each frame sent takes the next reply from the
// script, which arrives `afterMsecs` later (or never, for silence). Port and
// socket set-up is recorded in `calls`.
class FakeTransport : public pravik::link::SerialLink, public pravik::link::DatagramLink
{
    using Result = common::Status;

public:
    struct Reply
    {
        QByteArray bytes; // empty: the board stays silent
        int afterMsecs = 5;
    };

    FakeTransport(FakeClock &clock, pravik::link::LinkTraits traits)
        : m_clock(clock), m_traits(traits)
    {
    }

    pravik::link::Transport &transport() { return static_cast<pravik::link::SerialLink &>(*this); }
    pravik::link::LinkTraits traits() const override { return m_traits; }

    Result discardInput() override
    {
        ++discards;
        m_arrived.clear();
        return {};
    }

    Result send(const QByteArray &frame) override
    {
        if (failOnSend)
            return failOnSend;
        sent.append(frame);
        if (!replies.empty() && !replies.front().bytes.isEmpty())
            m_pending = {replies.front().bytes, m_clock.msecs + replies.front().afterMsecs};
        if (!replies.empty())
            replies.pop_front();
        return {};
    }

    Result waitForData(int msecs, bool &dataWaiting) override
    {
        waits.append(msecs);
        const std::int64_t until = m_clock.msecs + msecs;
        if (m_arrived.isEmpty() && m_pending && m_pending->second <= until) {
            m_clock.msecs = std::max(m_clock.msecs, m_pending->second);
            m_arrived = std::exchange(m_pending, std::nullopt)->first;
        } else if (m_arrived.isEmpty()) {
            m_clock.msecs = until;
        }
        dataWaiting = !m_arrived.isEmpty();
        return {};
    }

    Result readWaiting(QByteArray &data) override
    {
        data = std::exchange(m_arrived, QByteArray());
        return {};
    }

    // SerialLink
    bool isOpen() const override { return open_; }
    void close() override
    {
        calls << QStringLiteral("close");
        open_ = false;
    }
    Result configure(const QString &device, double baud) override
    {
        calls << QStringLiteral("configure %1 %2").arg(device).arg(baud);
        return failOnConfigure;
    }
    Result open() override
    {
        calls << QStringLiteral("open");
        open_ = !failOnOpen;
        return failOnOpen;
    }

    // DatagramLink
    void setRemote(const QString &host, std::int32_t port) override
    {
        calls << QStringLiteral("remote %1:%2").arg(host).arg(port);
    }
    std::int32_t localPort() const override { return local; }
    Result setLocalPort(std::int32_t port) override
    {
        calls << QStringLiteral("local %1").arg(port);
        local = port;
        return {};
    }

    std::deque<Reply> replies;
    Result failOnSend, failOnConfigure, failOnOpen;
    QList<QByteArray> sent;
    QList<int> waits;
    QStringList calls;
    int discards = 0;
    bool open_ = false;
    std::int32_t local = 1973;

private:
    FakeClock &m_clock;
    pravik::link::LinkTraits m_traits;
    std::optional<std::pair<QByteArray, std::int64_t>> m_pending;
    QByteArray m_arrived;
};

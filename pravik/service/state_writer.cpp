#include "state_writer.h"

namespace pravik::service {

StateWriter::StateWriter(StateStore store, Failed failed)
    : m_store(std::move(store)), m_failed(std::move(failed)), m_thread([this] { run(); })
{
}

StateWriter::~StateWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void StateWriter::write(const BoardState &state)
{
    {
        const std::lock_guard lock(m_mutex);
        const auto [waiting, added] = m_waiting.insert_or_assign(state.board, state);
        if (added)
            m_order.push_back(waiting->first);
    }
    m_changed.notify_all();
}

void StateWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_order.empty() && !m_writing; });
}

void StateWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_closing || !m_order.empty(); });
        if (m_order.empty())
            return; // closing, with nothing left to write
        const auto waiting = m_waiting.find(m_order.front());
        const BoardState state = std::move(waiting->second);
        m_waiting.erase(waiting);
        m_order.pop_front();
        m_writing = true;
        lock.unlock();
        const common::Status failed = m_store.write(state);
        if (failed && m_failed)
            m_failed(state.board, *failed);
        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}

} // namespace pravik::service

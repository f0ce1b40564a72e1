#pragma once

#include "state_store.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace pravik::service {

// Writes the boards' states on a thread of its own. Each state is a durable
// write, a millisecond or more on a busy disk; on the keeper's thread a
// hundred of them at one minute would hold back every board's work and
// answer behind them. A state given while an older one of the same board
// still waits takes its place: only the newest is kept anyway.
class StateWriter
{
public:
    // Told on the writer's thread when a state cannot be written.
    using Failed = std::function<void(const QString &board, const common::Failure &failure)>;

    explicit StateWriter(StateStore store, Failed failed = {});
    // Writes what still waits, then ends.
    ~StateWriter();
    StateWriter(const StateWriter &) = delete;
    StateWriter &operator=(const StateWriter &) = delete;

    void write(const BoardState &state);
    // Waits until every state given so far is written.
    void flush();

private:
    void run();

    const StateStore m_store;
    const Failed m_failed;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<QString, BoardState> m_waiting;
    std::deque<QString> m_order; // the waiting boards, oldest first
    bool m_writing = false;
    bool m_closing = false;
    std::thread m_thread;
};

} // namespace pravik::service

#include "stop_on_signals.h"

#include <csignal>

namespace pravik::cli {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};

// One job runs at a time; the handler may only touch lock-free atomics. The
// signal is read by the threads of a fleet's boards as well.
std::atomic<jobs::StopToken *> g_stop{nullptr};
std::atomic<int> g_received{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction g_previous[std::size(kSignals)];

extern "C" void onStopSignal(int signal)
{
    g_received = signal;
    if (jobs::StopToken *stop = g_stop.load())
        stop->requestStop();
}

} // namespace

StopOnSignals::StopOnSignals()
{
    g_received = 0;
    g_stop = &m_stop;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Waits on the port resume after the handler, so the frame in flight
    // is still answered or timed out.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
}

StopOnSignals::~StopOnSignals()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
    g_stop = nullptr;
}

int StopOnSignals::received() const
{
    return g_received;
}

int StopOnSignals::exitStatus(int status) const
{
    return g_received != 0 ? 128 + g_received : status;
}

} // namespace pravik::cli

#include "signal_watcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace LedBoardSim {

int SignalWatcher::s_pipe[2] = {-1, -1};

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent) {}

SignalWatcher::~SignalWatcher()
{
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
}

bool SignalWatcher::install()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_pipe) != 0)
        return false;
    fcntl(s_pipe[1], F_SETFL, fcntl(s_pipe[1], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readPipe);

    struct sigaction action = {};
    action.sa_handler = &SignalWatcher::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

void SignalWatcher::handle(int signalNumber)
{
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
}

void SignalWatcher::readPipe()
{
    char byte = 0;
    if (::read(s_pipe[0], &byte, 1) == 1)
        emit stopRequested(byte);
}

} // namespace LedBoardSim

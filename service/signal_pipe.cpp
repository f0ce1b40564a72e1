#include "signal_pipe.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace pravikd {
namespace {

// One pipe for the process: a handler cannot find an object.
int s_pipe[2] = {-1, -1};

} // namespace

SignalPipe::SignalPipe(QObject *parent) : QObject(parent) {}

SignalPipe::~SignalPipe()
{
    for (int number : m_signals)
        ::signal(number, SIG_DFL);
}

bool SignalPipe::install(std::initializer_list<int> signalNumbers)
{
    if (s_pipe[0] < 0 && ::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalPipe::readPipe);
    struct sigaction action = {};
    action.sa_handler = &SignalPipe::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : signalNumbers) {
        if (sigaction(number, &action, nullptr) != 0)
            return false;
        m_signals << number;
    }
    return true;
}

void SignalPipe::handle(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    errno = saved;
}

void SignalPipe::readPipe()
{
    unsigned char byte = 0;
    while (::read(s_pipe[0], &byte, 1) == 1)
        emit arrived(byte);
}

} // namespace pravikd

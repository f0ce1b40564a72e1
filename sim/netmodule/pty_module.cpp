#include "pty_module.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace NetModuleSim {

PtyModule::~PtyModule()
{
    if (m_heldSlave >= 0)
        ::close(m_heldSlave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyModule::open(std::string *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char *slave = ptsname(m_master);
    if (slave == nullptr) {
        *error = "no slave for the pseudo-terminal";
        return false;
    }
    m_slavePath = slave;
    // Raw: CR LF reach the module as sent, and nothing is echoed back.
    termios attributes{};
    if (tcgetattr(m_master, &attributes) == 0) {
        cfmakeraw(&attributes);
        tcsetattr(m_master, TCSANOW, &attributes);
    }
    // Holding the slave ourselves keeps the master readable (no EIO) while
    // the tool has its port closed between commands.
    m_heldSlave = ::open(slave, O_RDWR | O_NOCTTY);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void PtyModule::readCommands()
{
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // EAGAIN: all read; EIO: no slave open, nothing to read
        for (const std::string &line :
             m_splitter.feed(std::string(buffer, static_cast<size_t>(n)))) {
            if (m_commandLog) {
                std::fprintf(m_commandLog, "%s\n", line.c_str());
                std::fflush(m_commandLog);
            }
            if (auto reply = m_responder.answer(line))
                m_answers.push_back(Due{Clock::now() + m_delay, std::move(*reply)});
        }
    }
}

void PtyModule::sendDue()
{
    while (!m_answers.empty() && m_answers.front().at <= Clock::now()) {
        const std::string &bytes = m_answers.front().bytes;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
                break;
            } else if (n < 0 && errno == EAGAIN) {
                pollfd out{m_master, POLLOUT, 0};
                ::poll(&out, 1, 10);
            }
        }
        m_answers.pop_front();
    }
}

int PtyModule::msUntilNextAnswer() const
{
    constexpr int idleMs = 100;
    if (m_answers.empty())
        return idleMs;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_answers.front().at - Clock::now());
    return std::clamp(static_cast<int>(left.count()), 0, idleMs);
}

void PtyModule::run(const volatile bool &stopRequested)
{
    while (!stopRequested) {
        pollfd in{m_master, POLLIN, 0};
        const int ready = ::poll(&in, 1, msUntilNextAnswer());
        if (ready > 0 && (in.revents & POLLIN))
            readCommands();
        else if (ready > 0 && (in.revents & (POLLHUP | POLLERR)))
            ::usleep(10000); // no slave open: wait for the tool instead of spinning
        sendDue();
    }
}

} // namespace NetModuleSim

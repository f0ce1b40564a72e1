#include "pty_link.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace LedBoardSim {

PtyLink::~PtyLink()
{
    close();
}

bool PtyLink::open(QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const char *slave = ptsname(m_master);
    if (slave == nullptr) {
        *error = QStringLiteral("no slave for the pseudo-terminal");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(slave);

    // Raw mode: no echo of the frames back to the sender and no translation of
    // bytes such as 0x0D or 0x7F, which occur in payloads.
    termios attributes{};
    if (tcgetattr(m_master, &attributes) == 0) {
        cfmakeraw(&attributes);
        tcsetattr(m_master, TCSANOW, &attributes);
    }
    // Holding the slave open ourselves keeps the master readable while the
    // sender has not opened its port yet or has closed it between jobs.
    m_heldSlave = ::open(slave, O_RDWR | O_NOCTTY);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyLink::readAvailable);
    m_retry.setSingleShot(true);
    m_retry.setInterval(20);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
    });
    return true;
}

void PtyLink::readAvailable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, static_cast<int>(n)), LinkPeer{});
            if (m_master < 0)
                return; // the answer to that input hung up the line
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        // EIO: no slave is open. Look again shortly instead of spinning.
        m_notifier->setEnabled(false);
        m_retry.start();
        return;
    }
}

void PtyLink::send(const QByteArray &bytes, const LinkPeer &)
{
    qsizetype done = 0;
    while (m_master >= 0 && done < bytes.size()) {
        const ssize_t n =
            ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            return;
    }
}

int PtyLink::unreadBySender() const
{
    // The slave we hold shares its input queue with the sender's port.
    int queued = 0;
    if (m_heldSlave < 0 || ::ioctl(m_heldSlave, FIONREAD, &queued) != 0)
        return 0;
    return queued;
}

void PtyLink::close()
{
    m_retry.stop();
    // close() may run inside the notifier's own signal (a hang-up answering
    // the input just read), so it is not deleted on the spot.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_heldSlave >= 0)
        ::close(m_heldSlave);
    m_heldSlave = -1;
    // Closing the master is the hang-up the sender sees on its port.
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

} // namespace LedBoardSim

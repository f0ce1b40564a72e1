#pragma once

// The sender's end of a simulator's pseudo-terminal, opened raw as a serial
// port is.
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class PtyLine
{
public:
    explicit PtyLine(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios attributes{};
        if (m_fd >= 0 && tcgetattr(m_fd, &attributes) == 0) {
            cfmakeraw(&attributes);
            tcsetattr(m_fd, TCSANOW, &attributes);
        }
    }
    ~PtyLine()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;

    bool isOpen() const { return m_fd >= 0; }

    void write(const QByteArray &bytes)
    {
        ASSERT_EQ(::write(m_fd, bytes.constData(), static_cast<size_t>(bytes.size())),
                  bytes.size());
    }

    // Whatever arrives within timeoutMs, returning as soon as count bytes are in.
    QByteArray read(int timeoutMs, int count = 1)
    {
        QByteArray in;
        QElapsedTimer timer;
        timer.start();
        while (in.size() < count && timer.elapsed() < timeoutMs) {
            if (!readable(static_cast<int>(timeoutMs - timer.elapsed())) || !readSome(in))
                break;
        }
        return in;
    }

    // Milliseconds until something arrives, or -1 when nothing does in 3 s.
    qint64 msUntilReadable()
    {
        QElapsedTimer timer;
        timer.start();
        return readable(3000) ? timer.elapsed() : -1;
    }

    // True once the other end has closed the line.
    bool hungUp(int timeoutMs)
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        char byte = 0;
        const ssize_t n = ::read(m_fd, &byte, 1);
        return (p.revents & POLLHUP) != 0 || n == 0 || (n < 0 && errno == EIO);
    }

private:
    bool readable(int timeoutMs)
    {
        pollfd p{m_fd, POLLIN, 0};
        return timeoutMs > 0 && ::poll(&p, 1, timeoutMs) > 0;
    }

    bool readSome(QByteArray &in)
    {
        char buffer[256];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0)
            in.append(buffer, static_cast<int>(n));
        return n > 0;
    }

    int m_fd = -1;
};

// The built netmodule-sim driven over its pseudo-terminal as a serial port.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 3000; // upper bound for anything the module should do at once

class ModuleProcess
{
public:
    explicit ModuleProcess(const QStringList &arguments = {})
    {
        m_process.setProgram(QStringLiteral(NETMODULE_SIM_PATH));
        m_process.setArguments(arguments + QStringList{QStringLiteral("--log"), logPath()});
        m_process.start();
    }
    ~ModuleProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }

    QString logPath() const { return m_dir.filePath(QStringLiteral("commands.txt")); }
    QProcess &process() { return m_process; }

    QString slavePath()
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < kWaitMs)
            m_process.waitForReadyRead(50);
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    QByteArray commandLog()
    {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

// The tool's end of the line, raw like a serial port.
class Line
{
public:
    explicit Line(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios attributes{};
        if (m_fd >= 0 && tcgetattr(m_fd, &attributes) == 0) {
            cfmakeraw(&attributes);
            tcsetattr(m_fd, TCSANOW, &attributes);
        }
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }

    void send(const QByteArray &bytes)
    {
        ASSERT_EQ(::write(m_fd, bytes.constData(), bytes.size()), bytes.size());
    }

    // Everything that arrives until the line has been quiet for quietMs.
    QByteArray receive(int quietMs)
    {
        QByteArray got;
        QElapsedTimer total;
        total.start();
        for (;;) {
            pollfd in{m_fd, POLLIN, 0};
            if (::poll(&in, 1, quietMs) <= 0 || total.elapsed() > kWaitMs)
                return got;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
        }
    }

    // Milliseconds until the first character arrives, or -1.
    qint64 firstCharacterAfterMs()
    {
        QElapsedTimer timer;
        timer.start();
        pollfd in{m_fd, POLLIN, 0};
        return ::poll(&in, 1, kWaitMs) > 0 ? timer.elapsed() : -1;
    }

private:
    int m_fd = -1;
};

} // namespace

TEST(NetmoduleSimProcess, AnswersOnItsPseudoTerminalAndKeepsWhatIsWritten)
{
    ModuleProcess module;
    const QString path = module.slavePath();
    ASSERT_TRUE(path.startsWith(u"/dev/")) << path.toStdString();
    Line line(path);
    ASSERT_TRUE(line.isOpen());

    line.send("rip\r\n");
    EXPECT_EQ(line.receive(100), QByteArray("Lip192.168.1.100\r\n"));
    line.send("Wip10.0.0.5\r\nrip\r\nWfs\r\n");
    EXPECT_EQ(line.receive(100), QByteArray("Lip10.0.0.5\r\nLip10.0.0.5\r\nLfsOK\r\n"));
    EXPECT_EQ(module.commandLog(), QByteArray("rip\nWip10.0.0.5\nrip\nWfs\n"));

    module.process().terminate();
    EXPECT_TRUE(module.process().waitForFinished(kWaitMs));
    EXPECT_EQ(module.process().exitCode(), 0);
}

TEST(NetmoduleSimProcess, FaultsAsRequested)
{
    ModuleProcess module({QStringLiteral("--silent"), QStringLiteral("rrm"),
                          QStringLiteral("--wrong-prefix"), QStringLiteral("rma"),
                          QStringLiteral("--short"), QStringLiteral("Wip"), QStringLiteral("--set"),
                          QStringLiteral("br=9")});
    Line line(module.slavePath());
    line.send("rrm\r\n");
    EXPECT_EQ(line.receive(100), QByteArray());
    line.send("rma\r\nWip1.2.3.4\r\nrbr\r\n");
    EXPECT_EQ(line.receive(100), QByteArray("Lmx001122334455\r\nLipLbr9\r\n"));
}

TEST(NetmoduleSimProcess, AnswersLateWhenAskedTo)
{
    ModuleProcess module({QStringLiteral("--delay-ms"), QStringLiteral("150")});
    Line line(module.slavePath());
    line.send("rbr\r\n");
    const qint64 after = line.firstCharacterAfterMs();
    EXPECT_GE(after, 120);
    EXPECT_LT(after, 1000);
    EXPECT_EQ(line.receive(50), QByteArray("Lbr3\r\n"));
}

TEST(NetmoduleSimProcess, RefusesAWrongCommandLine)
{
    QProcess process;
    process.start(QStringLiteral(NETMODULE_SIM_PATH),
                  {QStringLiteral("--silent"), QStringLiteral("x")});
    ASSERT_TRUE(process.waitForFinished(kWaitMs));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("three-letter command"));
}

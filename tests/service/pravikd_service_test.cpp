// pravikd run as systemd runs it: its word to systemd on the notify socket,
// signals, and a board kept through a window that opens two seconds after
// the start, by the test clock.
#include "pravik/service/state_store.h"

#include "ledboard_sim_process.h"
#include "pravikd_process.h"
#include "service_folder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <csignal>
#include <limits>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace pravik;

namespace {

// The socket systemd listens on for a Type=notify service's word.
class NotifySocket
{
public:
    explicit NotifySocket(const QString &path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        const QByteArray name = path.toLocal8Bit();
        std::memcpy(address.sun_path, name.constData(),
                    std::min(sizeof(address.sun_path) - 1, size_t(name.size())));
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    }
    ~NotifySocket() { ::close(m_fd); }


    // The next message other than the watchdog's, counting those; empty when
    // none comes within 10 s, or once `watchdogs` pings have come.
    QByteArray next(int watchdogs = std::numeric_limits<int>::max())
    {
        QElapsedTimer waited;
        waited.start();
        pollfd wait{m_fd, POLLIN, 0};
        while (m_watchdogs < watchdogs && waited.elapsed() < 10000 &&
               ::poll(&wait, 1, int(10000 - waited.elapsed())) == 1) {
            char buffer[512];
            const ssize_t size = ::recv(m_fd, buffer, sizeof(buffer), 0);
            const QByteArray message(buffer, int(std::max<ssize_t>(size, 0)));
            if (message != "WATCHDOG=1")
                return message;
            ++m_watchdogs;
        }
        return {};
    }
    int watchdogs() const { return m_watchdogs; }

private:
    int m_fd = -1;
    int m_watchdogs = 0;
};

class PravikdService : public ::testing::Test, protected ServiceFolder
{
protected:
    void SetUp() override
    {
        write("pravikd.conf",
              "state = state\nrecords = records\nzone = Europe/Berlin\nlisten = 127.0.0.1:0\n");
        write("fleet.txt", "# no board yet\n");
        write("schedule.txt", "default * normal.lt\nwindow * daily 08:00-09:00 file night.lt\n");
        write("content/normal.lt", displayFileNaming({"pictures/normal.bmp"}));
        write("content/night.lt", displayFileNaming({"pictures/night.bmp"}));
        picture("normal.bmp", Qt::red);
        picture("night.bmp", Qt::green);
    }

    void picture(const QString &name, Qt::GlobalColor colour) const
    {
        QImage image(160, 32, QImage::Format_RGB32);
        image.fill(colour);
        ServiceFolder::picture("content/pictures/" + name, image);
    }

    void start(const QMap<QString, QString> &variables)
    {
        ASSERT_TRUE(m_service.start(path("pravikd.conf"), variables));
    }
    bool logs(const QString &line, qsizetype times = 1) { return m_service.logs(line, times); }
    std::string log() { return m_service.log().toStdString(); }

    PravikdProcess m_service;
};

TEST_F(PravikdService, TellsSystemdItIsReadyAliveReloadingAndStopping)
{
    NotifySocket systemd(path("notify"));
    start({{"NOTIFY_SOCKET", path("notify")}, {"WATCHDOG_USEC", "100000"}});
    EXPECT_EQ(systemd.next(), "READY=1\nSTATUS=keeping 0 boards");
    ASSERT_TRUE(m_service.signal(SIGHUP));
    EXPECT_EQ(systemd.next(), "RELOADING=1");
    EXPECT_EQ(systemd.next(), "READY=1\nSTATUS=keeping 0 boards");
    ASSERT_TRUE(logs("reloaded: 0 boards"));
    // Half the watchdog's time: every 50 ms.
    EXPECT_EQ(systemd.next(systemd.watchdogs() + 3), QByteArray());
    EXPECT_GE(systemd.watchdogs(), 3);
    EXPECT_EQ(m_service.stop(), 0);
    EXPECT_EQ(systemd.next(), "STOPPING=1");
    // The remote control's own lines (its first token, where it listens) aside.
    QStringList lines = m_service.log().split(u'\n');
    lines.removeIf([](const QString &line) { return line.startsWith(u"remote control"); });
    EXPECT_EQ(lines.join(u'\n'), "keeping 0 boards by " + path("schedule.txt") +
                                     "\nreloaded: 0 boards\nstopping on SIGTERM\n");
    // A fresh state folder gets its content folder.
    EXPECT_TRUE(QFileInfo(path("state/content")).isDir()) << log();
}

TEST_F(PravikdService, KeepsABoardThroughAWindowAndAChangedPicture)
{
    LedboardSim board({"--udp", "127.0.0.2:0"});
    ASSERT_FALSE(board.udpPort().isEmpty());
    write("fleet.txt", "entrance udp:" + board.endpoint().toUtf8() + " 1\n");
    write("pravikd.conf",
          "state = state\nrecords = records\ncontent = content\nlisten = 127.0.0.1:0\n"
          "zone = Europe/Berlin\n");
    start({{"PRAVIKD_TEST_CLOCK", "2026-12-24T07:59:58+01:00"}});
    ASSERT_TRUE(logs("entrance: shows normal.lt")) << log();
    ASSERT_TRUE(logs("entrance: shows night.lt")) << log();

    // The picture of what the board shows changes: the board gets it again.
    picture("night.bmp", Qt::yellow);
    EXPECT_TRUE(logs("entrance: shows night.lt", 2)) << log();
    EXPECT_EQ(m_service.stop(), 0);

    const common::Expected<service::BoardState> state =
        service::StateStore(path("state")).read(QStringLiteral("entrance"));
    ASSERT_TRUE(state.ok());
    EXPECT_EQ(state->health, service::Health::Ok);
    ASSERT_TRUE(state->shown.has_value());
    EXPECT_EQ(state->shown->file, "night.lt");
    EXPECT_EQ(state->nextChange, QDateTime::fromString("2026-12-24T09:00:00+01:00", Qt::ISODate));

    // The audit trail heard the schedule from its first action on.
    QStringList actions;
    for (const QByteArray &line : readFileBytes(path("state/audit.log")).split('\n')) {
        const QJsonObject entry = QJsonDocument::fromJson(line).object();
        if (entry.value(QStringLiteral("actor")).toString() == QLatin1String("schedule"))
            actions << entry.value(QStringLiteral("what")).toString();
    }
    ASSERT_EQ(actions.size(), 3) << actions.join(u'|').toStdString();
    EXPECT_TRUE(actions[0].startsWith(u"normal.lt")) << actions[0].toStdString();
    EXPECT_TRUE(actions[1].startsWith(u"night.lt")) << actions[1].toStdString();
}

TEST_F(PravikdService, EndsWithTwoOnFilesItCannotUse)
{
    const struct
    {
        const char *file;
        QByteArray bytes;
        QString log;
    } cases[] = {
        {"pravikd.conf", "zone = Nowhere\n",
         path("pravikd.conf") + ": line 1: unknown zone 'Nowhere'"},
        {"schedule.txt", "window * daily 25:00-26:00 file a.lt\n",
         "cannot start: " + path("schedule.txt") +
             ": line 1: the times are HH:MM-HH:MM (up to 24:00) or all-day, not '25:00-26:00'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        SetUp();
        write(QString::fromUtf8(c.file), c.bytes);
        PravikdProcess service;
        ASSERT_TRUE(service.start(path("pravikd.conf")));
        EXPECT_EQ(service.ended(), 2);
        EXPECT_EQ(service.log(), c.log + u'\n');
    }
}

} // namespace

// pravikd as systemd runs it, against a fleet of ledboard-sim processes on
// UDP (127.0.0.2 and up, one port), measured from outside the service:
//  - 100 boards at a window's beginning (a display range each): how long
//    after the minute the service logs each board's acknowledgement;
//  - the same 100 boards idle for 60 s once they show their content: the
//    service's resident memory (VmRSS, and its peak VmHWM) and processor time;
//  - a display file's pictures changed for 32 boards that answer each frame
//    after 12 ms, against the same change for one board alone, in one run of
//    the service.
//   service_bench PATH-TO-pravikd PATH-TO-ledboard-sim [BOARDS [IDLE-SECONDS]]
#include "pravik/document/display_file.h"
#include "pravik/service/state_store.h"

#include "common/recording_prompter.h"

#include "sim_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace pravik;

namespace {

constexpr double kMemoryLimitMiB = 64;
constexpr double kIdleCpuLimitPercent = 0.5;
constexpr double kBoundaryLimitSeconds = 1.0;
constexpr double kFleetChangeLimit = 1.5;
constexpr int kChangeBoards = 32;
// A board behind a network module answers only once the frame has crossed its
// serial line: a picture frame takes 12 ms at 115200 baud.
constexpr int kModuleEchoDelayMsecs = 12;
constexpr int kChangedScreens = 20;
constexpr int kChangeRounds = 3;

bool report(const char *what, double value, double limit)
{
    const bool met = value >= 0 && value <= limit;
    std::printf("  %-56s %9.3f (limit %.3f): %s\n", what, value, limit, met ? "met" : "NOT MET");
    return met;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
}

// A 160 x 32 picture whose lit LEDs are a diagonal pattern shifted by `shift`.
bool drawPicture(const QString &path, int shift)
{
    QImage picture(160, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(x, y, (x + y + shift) % 7 < 3 ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
    return picture.save(path, "BMP");
}

// A display file of `screens` pictures named PREFIX-N.bmp beside it.
bool writeDisplayFile(const QDir &content, const QString &name, const QString &prefix, int screens,
                      int shift)
{
    document::ScreenList list;
    document::initScreenList(list);
    for (int s = 0; s < screens; ++s) {
        const QString picture = QStringLiteral("%1-%2.bmp").arg(prefix).arg(s);
        if (!drawPicture(content.filePath(picture), s + shift))
            return false;
        list.setText(s + 1, document::PictureColumn, picture);
    }
    document::BoardSettings settings;
    settings.scrtype = 1;
    common::RecordingPrompter quiet;
    return document::saveDisplayFile(content.filePath(name), settings, list, quiet);
}

// The service's folder: configuration, fleet, schedule, content, state.
struct ServiceFolder
{
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QDir content() const { return QDir(path(QStringLiteral("content"))); }

    bool setUp(const QString &fleet, const QString &schedule)
    {
        return dir.isValid() && QDir(dir.path()).mkpath(QStringLiteral("content")) &&
               writeText(path(QStringLiteral("pravikd.conf")),
                         QStringLiteral("state = state\nrecords = records\ncontent = content\n"
                                        "zone = Europe/Berlin\nlisten = 127.0.0.1:0\n")) &&
               writeText(path(QStringLiteral("fleet.txt")), fleet) &&
               writeText(path(QStringLiteral("schedule.txt")), schedule);
    }
};

// Simulators on 127.0.0.2, 127.0.0.3, ... all on one port, and the fleet
// file's lines naming them.
struct Boards
{
    std::vector<std::unique_ptr<SimProcess>> sims;
    QString fleet;

    bool start(const QString &simPath, const QStringList &names, const QStringList &options)
    {
        const quint16 port = freePort();
        for (qsizetype b = 0; b < names.size(); ++b) {
            const QString address = QStringLiteral("127.0.0.%1:%2").arg(b + 2).arg(port);
            sims.push_back(std::make_unique<SimProcess>());
            if (!sims.back()->start(simPath, QStringList{"--udp", address} + options)) {
                std::fprintf(stderr, "the simulator on %s did not start\n", qPrintable(address));
                return false;
            }
            fleet += QStringLiteral("%1 udp:%2 1\n").arg(names[b], address);
        }
        return true;
    }
};

// pravikd running, its log lines as they come, each with the bench's time of
// its arrival.
class Service
{
public:
    bool start(const QString &program, const QString &config, const QString &testClock)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *unset : {"STATE_DIRECTORY", "CACHE_DIRECTORY", "NOTIFY_SOCKET",
                                  "WATCHDOG_USEC", "WATCHDOG_PID"})
            environment.remove(QString::fromLatin1(unset));
        environment.insert(QStringLiteral("PRAVIKD_TEST_CLOCK"), testClock);
        m_process.setProcessEnvironment(environment);
        m_process.setReadChannel(QProcess::StandardError);
        m_process.start(program, {QStringLiteral("--config"), config});
        m_since.start();
        return m_process.waitForStarted();
    }

    ~Service()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    qint64 pid() const { return m_process.processId(); }
    qint64 msecs() const { return m_since.elapsed(); }
    qsizetype lineCount() const { return m_lines.size(); }
    const QString &line(qsizetype i) const { return m_lines[i].text; }
    qint64 lineAt(qsizetype i) const { return m_lines[i].at; }

    // Reads what the service logged for up to `msecs`.
    void pump(int msecs)
    {
        m_process.waitForReadyRead(msecs);
        while (m_process.canReadLine())
            m_lines.push_back(
                {QString::fromUtf8(m_process.readLine()).trimmed(), m_since.elapsed()});
    }

    // Lines from `from` on that end with `what`.
    qsizetype count(qsizetype from, const QString &what) const
    {
        qsizetype n = 0;
        for (qsizetype i = from; i < m_lines.size(); ++i)
            n += m_lines[i].text.endsWith(what);
        return n;
    }

    // Waits up to `msecs` for `n` lines from `from` on that end with `what`;
    // the time the last came, or -1.
    qint64 waitFor(qsizetype from, const QString &what, qsizetype n, int msecs)
    {
        const qint64 deadline = m_since.elapsed() + msecs;
        while (count(from, what) < n && m_since.elapsed() < deadline &&
               m_process.state() == QProcess::Running)
            pump(5);
        qsizetype seen = 0;
        for (qsizetype i = from; i < m_lines.size(); ++i) {
            if (m_lines[i].text.endsWith(what) && ++seen == n)
                return m_lines[i].at;
        }
        std::fprintf(stderr, "%lld of %lld lines '%s' within %d ms; the log:\n", qlonglong(seen),
                     qlonglong(n), qPrintable(what), msecs);
        for (qsizetype i = std::max<qsizetype>(0, m_lines.size() - 20); i < m_lines.size(); ++i)
            std::fprintf(stderr, "  %s\n", qPrintable(m_lines[i].text));
        return -1;
    }

    // SIGTERM; true when the service ended cleanly.
    bool stop()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return m_process.waitForFinished(20000) && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }

private:
    struct Line
    {
        QString text;
        qint64 at;
    };
    QProcess m_process;
    QElapsedTimer m_since;
    QList<Line> m_lines;
};

// VmRSS or VmHWM of a process, in MiB; -1 when not known.
double memoryMiB(qint64 pid, const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

// Processor seconds a running process has used so far: utime and stime.
double cpuSecondsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command's name, which may hold spaces.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15 of the whole line, in clock ticks.
    return fields.size() > 12
               ? (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK))
               : -1;
}

QStringList boardNames(const QString &prefix, int count)
{
    QStringList names;
    for (int b = 1; b <= count; ++b)
        names << prefix + QString::number(b);
    return names;
}

// 100 boards at a window's beginning, then idle.
int boundaryAndIdle(const QString &pravikd, const QString &simPath, int boards, int idleSeconds)
{
    const QStringList names = boardNames(QStringLiteral("b"), boards);
    Boards sims;
    ServiceFolder folder;
    if (!sims.start(simPath, names, {"--type", "1"}) ||
        !folder.setUp(sims.fleet, QStringLiteral("default * show.lt\n"
                                                 "window * daily 08:00-09:00 range 1 1\n")) ||
        !writeDisplayFile(folder.content(), QStringLiteral("show.lt"), QStringLiteral("s"), 2, 0))
        return 1;
    // The boards get their file in the first seconds; the window begins at
    // 08:00 by the service's clock, 20 s after its start.
    const QDateTime boundary =
        QDateTime::fromString(QStringLiteral("2026-12-24T08:00:00+01:00"), Qt::ISODate);
    Service service;
    if (!service.start(pravikd, folder.path(QStringLiteral("pravikd.conf")),
                       boundary.addSecs(-20).toString(Qt::ISODate)))
        return 1;
    const qint64 shown = service.waitFor(0, QStringLiteral(": shows show.lt"), boards, 19000);
    if (shown < 0)
        return 1;
    const qsizetype beforeWindow = service.lineCount();
    const QString acknowledged = QStringLiteral(": shows show.lt, screen 1");
    if (service.waitFor(beforeWindow, acknowledged, boards, 30000) < 0)
        return 1;
    // The service's clock starts once the program runs, after the bench
    // started it: the minute comes 20 s after that start by the bench's
    // clock or a little later, so the times from there are upper bounds. (A
    // state's times are whole seconds.) The clock's first line tells how
    // much later at most.
    std::vector<double> latencies;
    double reaction = -1;
    double clockLine = -1;
    for (qsizetype i = 0; i < beforeWindow && clockLine < 0; ++i) {
        if (service.line(i).startsWith(QStringLiteral("the clock starts at ")))
            clockLine = service.lineAt(i) / 1000.0;
    }
    for (qsizetype i = beforeWindow; i < service.lineCount(); ++i) {
        const double after = (service.lineAt(i) - 20000) / 1000.0;
        if (service.line(i).endsWith(acknowledged))
            latencies.push_back(after);
        else if (reaction < 0 && service.line(i).contains(QStringLiteral(": to show ")))
            reaction = after;
    }
    // Idle: the boards show what they should; the service only waits for the
    // next minute.
    const qsizetype beforeIdle = service.lineCount();
    const double cpuBefore = cpuSecondsOf(service.pid());
    const qint64 idleStart = service.msecs();
    while (service.msecs() - idleStart < idleSeconds * 1000LL)
        service.pump(
            int(std::min<qint64>(500, idleSeconds * 1000LL - (service.msecs() - idleStart))));
    const double idleCpu = cpuSecondsOf(service.pid()) - cpuBefore;
    const double idleWall = (service.msecs() - idleStart) / 1000.0;
    const double rss = memoryMiB(service.pid(), "VmRSS");
    const double hwm = memoryMiB(service.pid(), "VmHWM");
    const qsizetype idleLines = service.lineCount() - beforeIdle;
    const bool stopped = service.stop();
    // Each board's state was saved after its line was logged.
    const service::StateStore store(folder.path(QStringLiteral("state")));
    for (const QString &name : names) {
        const common::Expected<service::BoardState> state = store.read(name);
        if (!state || !state->shown || !state->shown->range ||
            *state->shown->range != schedule::DisplayRange{1, 1} ||
            state->shown->since < boundary) {
            std::fprintf(
                stderr, "%s does not show screen 1 since the minute: %s\n", qPrintable(name),
                state && state->shown ? qPrintable(state->shown->since.toString(Qt::ISODateWithMs))
                                      : "");
            return 1;
        }
    }
    std::sort(latencies.begin(), latencies.end());

    std::printf("%d boards on UDP, a display range each at a window's beginning\n", boards);
    std::printf("  the service's clock began within %.3f s of its start; all boards showed their "
                "file %.2f s after it\n",
                clockLine, shown / 1000.0);
    std::printf("  after the minute: the first job given %.3f s, acknowledgements logged: first "
                "%.3f s, median %.3f s, last %.3f s\n",
                reaction, latencies.front(), latencies[latencies.size() / 2], latencies.back());
    int status = 0;
    status |= !report("last board's acknowledgement after the minute (s)", latencies.back(),
                      kBoundaryLimitSeconds);
    std::printf("%d boards idle for %.1f s once they show their content (%lld log lines)\n", boards,
                idleWall, qlonglong(idleLines));
    status |= !report("pravikd's processor time while idle (%)", 100 * idleCpu / idleWall,
                      kIdleCpuLimitPercent);
    status |= !report("pravikd's resident memory, VmRSS (MiB)", rss, kMemoryLimitMiB);
    status |= !report("pravikd's peak resident memory, VmHWM (MiB)", hwm, kMemoryLimitMiB);
    if (!stopped) {
        std::fprintf(stderr, "pravikd did not end cleanly on SIGTERM\n");
        status = 1;
    }
    return status;
}

// Rewrites the pictures of a display file; the service's content watcher
// notices. The time of the last write.
qint64 changePictures(Service &service, const QDir &content, const QString &prefix, int round)
{
    for (int s = 0; s < kChangedScreens; ++s)
        drawPicture(content.filePath(QStringLiteral("%1-%2.bmp").arg(prefix).arg(s)),
                    s + 3 * round);
    return service.msecs();
}

struct ChangeTimes
{
    double fromWrite = -1; // the pictures written to the last board's acknowledgement
    double fromWork = -1;  // the first job given to the last board's acknowledgement
};

ChangeTimes timeChange(Service &service, const QDir &content, const QString &prefix,
                       const QString &file, int boards, int round)
{
    ChangeTimes times;
    const qsizetype from = service.lineCount();
    const qint64 written = changePictures(service, content, prefix, round);
    const qint64 done = service.waitFor(from, QStringLiteral(": shows ") + file, boards, 60000);
    if (done < 0)
        return times;
    // Only the boards that show the file were given work.
    qsizetype given = 0;
    for (qsizetype i = from; i < service.lineCount(); ++i)
        given += service.line(i).contains(QStringLiteral(": to show "));
    if (given != boards) {
        std::fprintf(stderr, "%lld boards given work for a change to %s\n", qlonglong(given),
                     qPrintable(file));
        return times;
    }
    for (qsizetype i = from; i < service.lineCount(); ++i) {
        if (service.line(i).contains(QStringLiteral(": to show ") + file)) {
            times.fromWork = (done - service.lineAt(i)) / 1000.0;
            break;
        }
    }
    times.fromWrite = (done - written) / 1000.0;
    return times;
}

// The same change to one board alone and to 32 boards, in one service.
int changedFile(const QString &pravikd, const QString &simPath)
{
    QStringList names{QStringLiteral("solo")};
    names += boardNames(QStringLiteral("m"), kChangeBoards);
    Boards sims;
    ServiceFolder folder;
    if (!sims.start(simPath, names,
                    {"--type", "1", "--echo-delay-ms", QString::number(kModuleEchoDelayMsecs)}) ||
        !folder.setUp(sims.fleet, QStringLiteral("default * many.lt\ndefault solo solo.lt\n")) ||
        !writeDisplayFile(folder.content(), QStringLiteral("solo.lt"), QStringLiteral("solo"),
                          kChangedScreens, 0) ||
        !writeDisplayFile(folder.content(), QStringLiteral("many.lt"), QStringLiteral("many"),
                          kChangedScreens, 0))
        return 1;
    Service service;
    if (!service.start(pravikd, folder.path(QStringLiteral("pravikd.conf")),
                       QStringLiteral("2026-12-24T12:00:00+01:00")) ||
        service.waitFor(0, QStringLiteral(": shows many.lt"), kChangeBoards, 120000) < 0 ||
        service.waitFor(0, QStringLiteral(": shows solo.lt"), 1, 1000) < 0)
        return 1;

    // Alternating, so that both meet the machine as it is at the time.
    std::vector<double> fromWrite;
    std::vector<double> fromWork;
    std::printf("%d pictures of a display file changed, boards answering after %d ms, %d rounds\n",
                kChangedScreens, kModuleEchoDelayMsecs, kChangeRounds);
    for (int round = 1; round <= kChangeRounds; ++round) {
        const ChangeTimes one = timeChange(service, folder.content(), QStringLiteral("solo"),
                                           QStringLiteral("solo.lt"), 1, round);
        const ChangeTimes all = timeChange(service, folder.content(), QStringLiteral("many"),
                                           QStringLiteral("many.lt"), kChangeBoards, round);
        if (one.fromWork <= 0 || all.fromWork <= 0)
            return 1;
        std::printf("  from the pictures written: one board %.3f s, %d boards %.3f s; from the "
                    "first job given: %.3f s, %.3f s\n",
                    one.fromWrite, kChangeBoards, all.fromWrite, one.fromWork, all.fromWork);
        fromWrite.push_back(all.fromWrite / one.fromWrite);
        fromWork.push_back(all.fromWork / one.fromWork);
    }
    const bool stopped = service.stop();
    int status = 0;
    status |= !report("32 boards / one board, from the pictures written (median)",
                      median(fromWrite), kFleetChangeLimit);
    status |= !report("32 boards / one board, from the first job given (median)", median(fromWork),
                      kFleetChangeLimit);
    if (!stopped) {
        std::fprintf(stderr, "pravikd did not end cleanly on SIGTERM\n");
        status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: service_bench PATH-TO-pravikd PATH-TO-ledboard-sim "
                             "[BOARDS [IDLE-SECONDS]]\n");
        return 2;
    }
    const QString pravikd = QString::fromLocal8Bit(argv[1]);
    const QString simPath = QString::fromLocal8Bit(argv[2]);
    const int boards = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 200) : 100;
    const int idleSeconds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 60;
    int status = boundaryAndIdle(pravikd, simPath, boards, idleSeconds);
    status |= changedFile(pravikd, simPath);
    return status;
}

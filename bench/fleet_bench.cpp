// pravik-cli send with a board's record and to many boards, against
// ledboard-sim: a 239-screen 160 x 32 list with one screen changed, sent with
// --changed over a pseudo-terminal paced at 9600 baud, against a full Send All
// of the same list in the same run; and Send All of the list to 32 boards
// over UDP at once (127.0.0.2 ... 127.0.0.33), against one board alone.
#include "pravik/document/board_settings.h"
#include "pravik/document/display_file.h"
#include "pravik/document/screen_list.h"

#include "common/recording_prompter.h"

#include "sim_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace pravik;

namespace {

constexpr int kScreens = 239;
constexpr int kChangedScreen = 100;
constexpr int kRounds = 3;
// A board behind a network module answers only once the frame has crossed its
// serial line: a picture frame takes 12 ms at 115200 baud.
constexpr int kModuleEchoDelayMsecs = 12;
constexpr long kMemoryLimitKiB = 64 * 1024;

struct Measured
{
    int status = -1;
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKiB = 0;
    QByteArray out;
};

// Runs the program to its end as a child of its own, so that its own peak
// memory and processor time are known, not those of the simulators.
Measured runMeasured(const QString &program, const QStringList &arguments, const QString &outFile)
{
    std::vector<QByteArray> owned{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        owned.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, QFile::encodeName(outFile).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Measured measured;
    QElapsedTimer elapsed;
    elapsed.start();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        measured.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        measured.peakKiB = usage.ru_maxrss;
        measured.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    measured.seconds = elapsed.nsecsElapsed() / 1e9;
    posix_spawn_file_actions_destroy(&files);
    QFile out(outFile);
    if (out.open(QIODevice::ReadOnly))
        measured.out = out.readAll();
    return measured;
}

// Screen s is a diagonal pattern shifted by s, so every screen's packets differ.
void drawScreen(const QDir &dir, int screen, int shift)
{
    QImage picture(160, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(x, y, (x + y + shift) % 7 < 3 ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
    picture.save(dir.filePath(QStringLiteral("s%1.bmp").arg(screen)));
}

bool writeList(const QDir &dir, const QString &path)
{
    document::BoardSettings settings;
    settings.port = 0;
    settings.ipAddress = QStringLiteral("127.0.0.2");
    settings.scrtype = 1;
    document::ScreenList screens;
    document::initScreenList(screens);
    for (int s = 0; s < kScreens; ++s) {
        drawScreen(dir, s, s);
        screens.setText(s + 1, document::PictureColumn, QStringLiteral("s%1.bmp").arg(s));
    }
    common::RecordingPrompter prompter;
    return document::saveDisplayFile(path, settings, screens, prompter);
}

// Processor seconds a running process has used so far.
double cpuSecondsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    // utime and stime are fields 14 and 15, in clock ticks.
    return fields.size() > 15
               ? (fields[13].toDouble() + fields[14].toDouble()) / sysconf(_SC_CLK_TCK)
               : 0;
}

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

bool report(const char *what, double value, double limit)
{
    const bool met = value > 0 && value <= limit;
    std::printf("  %-48s %8.4f (limit %.4f): %s\n", what, value, limit, met ? "met" : "NOT MET");
    return met;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Send All to one board alone and to `boards` boards at once, in turns. With
// an echo delay the simulators answer like boards behind network modules, one
// round is enough and the warm-up is left out.
int fleetRound(const QString &cli, const QString &simPath, const QString &list, int boards,
               int echoDelayMsecs, const QString &out)
{
    const quint16 port = freePort();
    std::vector<std::unique_ptr<SimProcess>> sims;
    QString fleet;
    for (int b = 0; b < boards; ++b) {
        const QString address = QStringLiteral("127.0.0.%1:%2").arg(b + 2).arg(port);
        sims.push_back(std::make_unique<SimProcess>());
        if (!sims.back()->start(simPath, {"--udp", address, "--type", "1", "--echo-delay-ms",
                                          QString::number(echoDelayMsecs)}))
            return 1;
        fleet += QStringLiteral("b%1 udp:%2 1\n").arg(b + 2).arg(address);
    }
    const QString fleetFile = QFileInfo(list).dir().filePath(QStringLiteral("boards.txt"));
    QFile file(fleetFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(fleet.toUtf8()) != fleet.toUtf8().size())
        return 1;
    file.close();
    const QStringList one{"send",  list,     "--all",
                          "--yes", "--link", QStringLiteral("udp:127.0.0.2:%1").arg(port)};
    const QStringList all{"send", list, "--all", "--yes", "--fleet", fleetFile};

    // The first run meets empty screen stores and cold caches.
    const int rounds = echoDelayMsecs > 0 ? 1 : kRounds;
    if (echoDelayMsecs == 0 && runMeasured(cli, one, out).status != 0)
        return 1;
    std::vector<double> ratios;
    Measured alone;
    Measured together;
    double simCpu = 0;
    long peak = 0;
    for (int round = 0; round < rounds; ++round) {
        alone = runMeasured(cli, one, out);
        double before = 0;
        for (const auto &sim : sims)
            before += cpuSecondsOf(sim->process.processId());
        together = runMeasured(cli, all, out);
        simCpu = -before;
        for (const auto &sim : sims)
            simCpu += cpuSecondsOf(sim->process.processId());
        if (alone.status != 0 || together.status != 0) {
            std::fprintf(stderr, "a send failed (%d, %d):\n%s\n", alone.status, together.status,
                         together.out.constData());
            return 1;
        }
        ratios.push_back(together.seconds / alone.seconds);
        peak = std::max(peak, together.peakKiB);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("Send All of %d screens 160 x 32 to %d boards over UDP, echo delay %d ms, "
                "%d rounds\n",
                kScreens, boards, echoDelayMsecs, rounds);
    std::printf("  last round: one board %.3f s (%.3f s processor), %d boards %.3f s "
                "(%.3f s processor, the simulators %.3f s)\n",
                alone.seconds, alone.cpuSeconds, boards, together.seconds, together.cpuSeconds,
                simCpu);
    std::printf("  ratios %.2f to %.2f\n", ratios.front(), ratios.back());
    // Every board's simulator needs its own processor time, as does every
    // board's job: with fewer cores than boards, the processor time all of
    // them need, shared by the cores, is as fast as the run can be.
    const double floor = (together.cpuSeconds + simCpu) / QThread::idealThreadCount();
    std::printf("  %d boards against their processor time shared by %d cores (%.3f s): %.2f\n",
                boards, QThread::idealThreadCount(), floor, together.seconds / floor);
    int status = 0;
    status |= !report("all boards / one board (median)", median(ratios), 1.5);
    status |= !report("peak memory of pravik-cli (MiB)", peak / 1024.0, kMemoryLimitKiB / 1024.0);
    return status;
}

int pacedRound(const QString &cli, const QString &simPath, const QString &list, int baud,
               const QString &out)
{
    SimProcess sim;
    if (!sim.start(simPath, {"--pty", "--type", "1", "--baud", QString::number(baud)}))
        return 1;
    const QString link = QStringLiteral("serial:%1@%2").arg(sim.endpoint).arg(baud);
    const Measured full = runMeasured(cli, {"send", list, "--all", "--yes", "--link", link}, out);
    drawScreen(QFileInfo(list).dir(), kChangedScreen, kChangedScreen + 3);
    const Measured changed =
        runMeasured(cli, {"send", list, "--changed", "--yes", "--link", link}, out);
    if (full.status != 0 || changed.status != 0 ||
        !changed.out.startsWith(QByteArray("sent: ") + QByteArray::number(kChangedScreen) + '\n')) {
        std::fprintf(stderr, "a send failed (%d, %d): %s\n", full.status, changed.status,
                     changed.out.constData());
        return 1;
    }
    std::printf("One screen of %d changed, over a pseudo-terminal paced at %d baud\n", kScreens,
                baud);
    std::printf("  Send All %.3f s, --changed %.3f s\n", full.seconds, changed.seconds);
    return report("--changed / Send All", changed.seconds / full.seconds, 0.01) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: fleet_bench PATH-TO-pravik-cli PATH-TO-ledboard-sim "
                             "[BOARDS [BAUD | 0]]\n");
        return 2;
    }
    const QString cli = QString::fromLocal8Bit(argv[1]);
    const QString simPath = QString::fromLocal8Bit(argv[2]);
    const int boards = argc > 3 ? std::max(1, std::atoi(argv[3])) : 32;
    // A baud rate of 0 leaves the paced run out (it takes three and a half minutes).
    const int baud = argc > 4 ? std::max(0, std::atoi(argv[4])) : 9600;

    QTemporaryDir dir;
    // The records of the boards go to a cache folder of the run's own.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
    const QString list = dir.filePath(QStringLiteral("list.lt"));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    if (!writeList(QDir(dir.path()), list))
        return 1;
    int status = fleetRound(cli, simPath, list, boards, 0, out);
    status |= fleetRound(cli, simPath, list, boards, kModuleEchoDelayMsecs, out);
    if (baud > 0)
        status |= pacedRound(cli, simPath, list, baud, out);
    return status;
}

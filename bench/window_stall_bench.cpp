// The main window's longest event-loop stall during Send All to ledboard-sim:
// a 1 ms timer in the window's thread records the gaps between its ticks
// while the window sends a list of 160 x 32 single-colour screens over UDP
// and over a pseudo-terminal paced at 9600 baud. The window must never stop
// running its events for more than 50 ms.
#include "pravik/app/app_state.h"
#include "pravik/app/main_window.h"
#include "pravik/document/display_file.h"

#include "common/file_chooser.h"
#include "common/recording_prompter.h"

#include "sim_process.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace pravik;

namespace {

// One frame at 60 Hz: the window never misses more than one repaint.
constexpr double kStallLimitMsecs = 16;

class OneFileChooser : public common::FileChooser
{
public:
    explicit OneFileChooser(QString file) : m_file(std::move(file)) {}
    QString choose(const common::FileDialogRequest &) override { return m_file; }

private:
    QString m_file;
};

// Writes a display file of `screens` checkerboard screens for the board
// behind `link` (COM9, or UDP at 127.0.0.2:port).
QString writeDisplayFile(const QTemporaryDir &dir, int screens, bool udp, int port)
{
    QImage picture(160, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(x, y, (x / 4 + y / 4) % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
    picture.save(dir.filePath(QStringLiteral("checker.bmp")));
    document::BoardSettings settings;
    settings.scrtype = 1;
    settings.port = udp ? 0 : 9;
    settings.baud = 9600;
    settings.ipAddress = QStringLiteral("127.0.0.2");
    settings.ipPort = port;
    document::ScreenList list;
    document::initScreenList(list);
    for (int r = 1; r <= screens; ++r)
        list.setText(r, document::PictureColumn, QStringLiteral("checker.bmp"));
    const QString file = dir.filePath(QStringLiteral("stall.lt"));
    common::RecordingPrompter quiet;
    document::saveDisplayFile(file, settings, list, quiet);
    return file;
}

// Sends the list through the window's menu; false when the job did not end
// with 发送成功 or the window stalled for longer than the limit.
bool measure(const QString &simPath, bool udp, int screens)
{
    SimProcess sim;
    const QStringList link =
        udp ? QStringList{"--udp", "127.0.0.2:0"} : QStringList{"--pty", "--baud", "9600"};
    if (!sim.start(simPath, link + QStringList{"--type", "1"}))
        return false;
    QTemporaryDir dir;
    const QString file =
        writeDisplayFile(dir, screens, udp, udp ? sim.endpoint.section(u':', -1).toInt() : 1973);

    app::AppState state;
    common::RecordingPrompter prompter;
    OneFileChooser chooser(file);
    app::MainWindowEnvironment environment;
    environment.desktopWidthPixels = 1024;
    environment.desktopHeightPixels = 768;
    environment.localIpAddress = QStringLiteral("10.0.0.1");
    environment.programFolder = dir.path();
    environment.documentFolder = dir.path();
    environment.prompter = &prompter;
    environment.fileChooser = &chooser;
    app::MainWindow window(state, environment);
    window.show();
    qputenv("COM9", sim.endpoint.toLocal8Bit());
    window.findChild<QAction *>(QStringLiteral("mnufilopen"))->trigger();

    QElapsedTimer sinceTick;
    QElapsedTimer elapsedAll;
    elapsedAll.start();
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    qint64 longestGapEnd = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (sinceTick.nsecsElapsed() > longestGap)
            longestGapEnd = elapsedAll.nsecsElapsed();
        longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
        sinceTick.start();
        ++ticks;
    });
    timer.start(1);
    QElapsedTimer elapsed;
    elapsed.start();
    sinceTick.start();
    window.findChild<QAction *>(QStringLiteral("mnurunStr"))->trigger();
    const double seconds = elapsed.nsecsElapsed() / 1e9;
    timer.stop();

    const bool sent = prompter.texts().value(1) == QStringLiteral("发送成功");
    const double stallMsecs = longestGap / 1e6;
    std::printf("Send All of %d screens through the window, %s\n", screens,
                udp ? "UDP 127.0.0.2" : "a pseudo-terminal paced at 9600 baud");
    std::printf("  the longest stall ended %.3f s after Send All began\n", longestGapEnd / 1e9);
    std::printf("  %.1f s, %d timer ticks, %s\n", seconds, ticks,
                sent ? "sent" : qPrintable(prompter.texts().join(u" / ")));
    const bool met = sent && stallMsecs <= kStallLimitMsecs;
    std::printf("  %-44s %6.1f ms (limit %.0f): %s\n", "longest event-loop stall", stallMsecs,
                kStallLimitMsecs, met ? "met" : "NOT MET");
    return met;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_stall_bench PATH-TO-ledboard-sim [SCREENS-AT-9600]\n");
        return 2;
    }
    const QString simPath = QString::fromLocal8Bit(argv[1]);
    // At 9600 baud a screen takes about a second; the longest stall does not
    // grow with the list, so a shorter one is the default there.
    const int pacedScreens = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
    bool met = measure(simPath, true, 239);
    met = measure(simPath, false, pacedScreens) && met;
    return met ? 0 : 1;
}

// Measures the show as operators watch it: the window's frame rate on a
// 640 x 128 board, every tick bringing a new frame, and the time pravik-cli
// takes to write the example file's show as an animated GIF.
#include "pravik/document/vocabulary.h"
#include "pravik/show_window/led_board_view.h"
#include "pravik/show_window/show_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pravik::show_window;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 128;
constexpr int kWatchMs = 4000;
constexpr double kTargetFps = 60;
constexpr double kPreviewTargetMs = 2000;

// Counts the window's ticks and the board's paintings, and the longest time
// between two paintings.
class FrameCounter : public QObject
{
public:
    int ticks = 0;
    int paints = 0;
    qint64 longestGapNs = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer && watched->objectName() == u"showTimer")
            ++ticks;
        if (event->type() == QEvent::Paint) {
            if (paints++ > 0)
                longestGapNs = std::max(longestGapNs, m_sincePaint.nsecsElapsed());
            m_sincePaint.start();
        }
        return false;
    }

private:
    QElapsedTimer m_sincePaint;
};

// Three screens that scroll across the board without a pause, a step each
// 10 ms, so that every tick of the window has a new frame to draw.
ShowInput scrollingBoard(const QTemporaryDir &dir)
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.setPixel(x, y, qRgb((x / 8 + y / 8) % 3 ? 255 : 0, (x + y) % 5 ? 0 : 255, 0));
    picture.save(dir.filePath(QStringLiteral("pattern.bmp")));
    ShowInput input;
    input.settings.scrwidth = kWidth;
    input.settings.scrhigh = kHeight;
    input.settings.scrtype = 2;
    pravik::document::fillVocabulary(input.vocabulary);
    pravik::document::initScreenList(input.screens);
    for (int row = 1; row <= 3; ++row) {
        input.screens.setText(row, pravik::document::PictureColumn, QStringLiteral("pattern.bmp"));
        input.screens.setText(row, pravik::document::EntryEffectColumn,
                              QStringLiteral("动画/连续"));
        input.screens.setText(row, pravik::document::EntrySpeedColumn, QStringLiteral("0"));
        input.screens.setText(row, pravik::document::StayModeColumn, QStringLiteral("连续显示"));
        input.screens.setText(row, pravik::document::ExitEffectColumn, QStringLiteral("向左移动"));
        input.screens.setText(row, pravik::document::ExitSpeedColumn, QStringLiteral("0"));
    }
    input.displayFileName = dir.filePath(QStringLiteral("bench.lt"));
    return input;
}

bool measureWindow()
{
    QTemporaryDir dir;
    const ShowInput input = scrollingBoard(dir);
    ShowFeed feed([&input] { return input; });
    auto *window = new ShowWindow(feed, 0);
    // About a screen's width: three pixels an LED.
    window->resize(kWidth * 3 + 24, kHeight * 3 + 120);
    FrameCounter counter;
    window->findChild<QTimer *>(QStringLiteral("showTimer"))->installEventFilter(&counter);
    auto *board = window->findChild<LedBoardView *>(QStringLiteral("showBoard"));
    board->installEventFilter(&counter);
    window->show();

    QElapsedTimer watched;
    watched.start();
    while (watched.elapsed() < kWatchMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = watched.nsecsElapsed() / 1e9;
    const int dropped = std::max(0, counter.ticks - counter.paints);
    const double fps = counter.paints / seconds;
    const bool met = fps >= kTargetFps && dropped == 0;
    std::printf("show window %d x %d at pitch %d: %d ticks, %d frames drawn in %.1f s "
                "(%.1f frames/s), %d dropped, longest gap %.1f ms (target %.0f frames/s, "
                "none dropped): %s\n",
                kWidth, kHeight, board->pitch(), counter.ticks, counter.paints, seconds, fps,
                dropped, counter.longestGapNs / 1e6, kTargetFps, met ? "met" : "NOT MET");
    window->close();
    return met;
}

bool measurePreview()
{
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("demo.gif"));
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess cli;
        cli.start(QStringLiteral(PRAVIK_CLI_PATH),
                  {QStringLiteral("preview"), QStringLiteral(EXAMPLES_DIR "/demo.lt"), gif});
        if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
            std::printf("preview of the example file: pravik-cli failed\n");
            return false;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const bool met = median <= kPreviewTargetMs;
    std::printf("preview of the 5-screen example file: median %.0f ms of %zu runs, %lld bytes "
                "(target %.0f ms): %s\n",
                median, times.size(), QFileInfo(gif).size(), kPreviewTargetMs,
                met ? "met" : "NOT MET");
    return met;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool window = measureWindow();
    const bool preview = measurePreview();
    return window && preview ? 0 : 1;
}

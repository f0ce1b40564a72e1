// Measures packing the canvas into the board's planes (no link involved),
// drawing a text screen, and reading rich text that any operator may pick:
// deeply nested or large, it must read in linear time.
#include "pravik/picture/board_canvas.h"
#include "pravik/picture/plane_packing.h"
#include "pravik/picture/text_rendering.h"

#include "common/rtf/rtf_reader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>

using namespace pravik::picture;

namespace {

BoardCanvas patterned(int width, int height, int stripWidth)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 13 + y) % 3 ? 255 : 0, (x + y * 7) % 5 ? 0 : 255, 0);
    }
    BoardCanvas canvas(width, height, stripWidth);
    canvas.drawPicture(picture);
    return canvas;
}

// Mpixel/s of packing the canvas `rounds` times, keeping the fastest round.
double packingRate(const BoardCanvas &canvas, int type, int rounds)
{
    double best = 0;
    unsigned checksum = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        packPlanes(canvas, type, [&](const BlockStep &step) {
            checksum += step.bytes[0][0] + step.bytes[0][255];
            return true;
        });
        const double seconds = timer.nsecsElapsed() / 1e9;
        best = std::max(best, canvas.width() * double(canvas.height()) / seconds / 1e6);
    }
    if (checksum == 1)
        std::printf(" ");
    return best;
}

// Milliseconds to read `rtf` into a document.
double readingMs(const QByteArray &rtf)
{
    QTextDocument document;
    QElapsedTimer timer;
    timer.start();
    const common::Status refused = common::readRtf(rtf, document);
    const double ms = timer.nsecsElapsed() / 1e6;
    return refused ? -1 : ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    int status = 0;

    const struct
    {
        int width, height, type, strip;
        const char *name;
    } canvases[] = {{2048, 512, 2, 1256, "2048 x 512 three-colour"},
                    {160, 32, 1, 1256, "160 x 32 single-colour"}};
    for (const auto &c : canvases) {
        const BoardCanvas canvas = patterned(c.width, c.height, c.strip);
        const int rounds = c.width * c.height > 100000 ? 50 : 20000;
        const double rate = packingRate(canvas, c.type, rounds);
        const bool met = rate >= 300;
        std::printf("packing %-26s %8.0f Mpixel/s (target 300): %s\n", c.name, rate,
                    met ? "met" : "NOT MET");
        if (!met)
            status = 1;
    }

    QTextDocument document;
    document.setDefaultFont(boardFont(plainTextPixelSize(32)));
    document.setPlainText(QStringLiteral("欢迎光临 LED 显示屏\n今日特价 Today 8 折"));
    prepareForBoard(document);
    renderOnBoard(document, 160, 32); // fonts loaded once
    QElapsedTimer timer;
    timer.start();
    constexpr int renders = 200;
    for (int i = 0; i < renders; ++i) {
        document.setPlainText(QStringLiteral("欢迎光临 LED 显示屏\n今日特价 Today %1 折").arg(i % 10));
        prepareForBoard(document);
        renderOnBoard(document, 160, 32);
    }
    std::printf("text screen 160 x 32, two lines of Chinese: %.3f ms each\n",
                timer.nsecsElapsed() / 1e6 / renders);

    QByteArray large = "{\\rtf1\\ansicpg936{\\colortbl;\\red255\\green0\\blue0;}";
    for (int i = 0; i < 20000; ++i)
        large += QByteArray("{\\b\\cf1 \\'d6\\'d0}{\\i x\\u20013?}") + (i % 4 == 3 ? "\\par " : "");
    const struct
    {
        const char *name;
        QByteArray rtf;
        double limitMs;
    } documents[] = {
        {"100,000 groups deep", "{\\rtf1 a" + QByteArray(100000, '{') + "b" +
                                    QByteArray(100000, '}') + "c}",
         1000},
        {"20,000 formatted runs", large + "}", 3000},
    };
    for (const auto &d : documents) {
        const double ms = readingMs(d.rtf);
        const bool met = ms >= 0 && ms <= d.limitMs;
        std::printf("rich text of %-22s %8.1f ms (limit %.0f): %s\n", d.name, ms, d.limitMs,
                    met ? "met" : "NOT MET");
        if (!met)
            status = 1;
    }
    return status;
}

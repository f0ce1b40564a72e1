// Measures composing the show's frames: every effect family, blinking and
// inverted stays, on the largest board and on a common small one.
#include "pravik/document/board_settings.h"
#include "pravik/picture/board_canvas.h"
#include "pravik/show/show.h"
#include "pravik/show/show_effects.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

using namespace pravik::show;

namespace {

LedImage patterned(int width, int height, int type)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 13 + y) % 3 ? 255 : 0, (x + y * 7) % 5 ? 0 : 255, 0);
    }
    pravik::picture::BoardCanvas canvas(width, height, 1256);
    canvas.drawPicture(picture);
    return ledImage(canvas, type);
}

// One screen per effect, coming in with it and going out with the next one;
// the stays blink and invert in turn.
std::vector<ShowScreen> everyEffect(const LedImage &leds)
{
    const int effects[] = {WipeRight, WipeLeft,  WipeToCentre, WipeToEdges,  WipeDown,
                           WipeUp,    MoveRight, MoveLeft,     MoveToCentre, MoveToEdges,
                           MoveDown,  MoveUp,    AtOnce,       Continuous};
    const int stays[] = {StayStill, BlinkOnOff, BlinkInverse};
    std::vector<ShowScreen> screens;
    const int count = int(std::size(effects));
    for (int i = 0; i < count; ++i)
        screens.push_back(ShowScreen{
            leds, ScreenProperties{effects[i], 0, stays[i % 3], 2, effects[(i + 1) % count], 0}});
    return screens;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    int status = 0;

    const struct
    {
        int width, height, type;
        double targetMs;
        const char *name;
    } boards[] = {{2048, 512, 2, 2.0, "2048 x 512 three-colour"},
                  {160, 32, 1, 0.05, "160 x 32 single-colour"}};
    for (const auto &b : boards) {
        pravik::document::BoardSettings settings;
        settings.scrwidth = std::int16_t(b.width);
        settings.scrhigh = std::int16_t(b.height);
        settings.scrtype = std::int16_t(b.type);
        const Show show(settings, everyEffect(patterned(b.width, b.height, b.type)));

        // Frames spread over the whole loop. The mean counts each frame's
        // first drawing; the slowest keeps the fastest of three, so that a
        // moment of a busy computer is not taken for a slow frame.
        constexpr int kFrames = 1000;
        LedImage frame;
        double slowest = 0;
        double total = 0;
        unsigned lit = 0;
        for (int f = 0; f < kFrames; ++f) {
            const std::int64_t ms = show.loopMs() * f / kFrames;
            double best = 1e9;
            for (int round = 0; round < 3; ++round) {
                QElapsedTimer timer;
                timer.start();
                show.frameAt(ms, frame);
                const double took = timer.nsecsElapsed() / 1e6;
                if (round == 0)
                    total += took;
                best = std::min(best, took);
            }
            lit += frame.at(frame.width() / 2, frame.height() / 2);
            slowest = std::max(slowest, best);
        }
        const bool met = slowest <= b.targetMs;
        std::printf("show frame %-26s mean %7.1f us, slowest %7.1f us (target %.0f us): %s\n",
                    b.name, total / kFrames * 1000, slowest * 1000, b.targetMs * 1000,
                    met ? "met" : "NOT MET");
        if (lit == 0)
            std::printf(" ");
        if (!met)
            status = 1;
    }
    return status;
}

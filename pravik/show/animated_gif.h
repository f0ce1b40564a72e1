#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

struct GifFileType;

namespace pravik::show {

// An animated GIF written frame by frame into memory with giflib. Every
// frame is an 8-bit indexed picture of the same size on the palette given at
// the start; only the part that changed since the frame before is stored, the
// rest stays on the screen.
class AnimatedGif
{
public:
    // Plays `loops` times, or for ever when `loops` is 0.
    AnimatedGif(int width, int height, const QList<QRgb> &palette, int loops);
    ~AnimatedGif();
    AnimatedGif(const AnimatedGif &) = delete;
    AnimatedGif &operator=(const AnimatedGif &) = delete;

    // Adds a frame that stays `delayMs` milliseconds (to the hundredth of a
    // second a GIF counts in); false when giflib refused.
    bool addFrame(const QImage &picture, std::int64_t delayMs);
    // The whole file, or giflib's reason when it refused something.
    common::Expected<QByteArray> finish();

private:
    bool putFrame(const QImage &picture, int delayCs);
    bool failed();

    GifFileType *m_gif = nullptr;
    QByteArray m_bytes;
    QImage m_previous;
    int m_error = 0;
};

} // namespace pravik::show

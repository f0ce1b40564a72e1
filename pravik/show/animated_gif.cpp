#include "animated_gif.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace pravik::show {
namespace {

// A frame's delay is a 16-bit count of hundredths; a longer one is split.
constexpr int kLongestDelayCs = 0xFFFF;

int appendBytes(GifFileType *gif, const GifByteType *bytes, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(bytes), length);
    return length;
}

// The rows and columns where two pictures of the same size differ; a single
// pixel when they do not, since a GIF frame holds at least one.
QRect changedPart(const QImage &before, const QImage &after)
{
    if (before.isNull())
        return after.rect();
    int top = -1, bottom = -1, left = after.width(), right = -1;
    for (int y = 0; y < after.height(); ++y) {
        const uchar *a = before.constScanLine(y);
        const uchar *b = after.constScanLine(y);
        if (std::memcmp(a, b, std::size_t(after.width())) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x = 0;
        while (a[x] == b[x])
            ++x;
        left = std::min(left, x);
        x = after.width() - 1;
        while (a[x] == b[x])
            --x;
        right = std::max(right, x);
    }
    return top < 0 ? QRect(0, 0, 1, 1) : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

AnimatedGif::AnimatedGif(int width, int height, const QList<QRgb> &palette, int loops)
{
    m_gif = EGifOpen(&m_bytes, appendBytes, &m_error);
    if (!m_gif)
        return;
    // A colour map holds a power of two of colours.
    int size = 2;
    while (size < palette.size())
        size *= 2;
    std::vector<GifColorType> colours(std::size_t(size), GifColorType{0, 0, 0});
    for (qsizetype i = 0; i < palette.size(); ++i)
        colours[std::size_t(i)] =
            GifColorType{GifByteType(qRed(palette[i])), GifByteType(qGreen(palette[i])),
                         GifByteType(qBlue(palette[i]))};
    ColorMapObject *map = GifMakeMapObject(size, colours.data());
    EGifSetGifVersion(m_gif, true);
    const bool described = map && EGifPutScreenDesc(m_gif, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!described) {
        failed();
        return;
    }
    if (loops == 1)
        return; // played once: no loop block
    // The loop block counts the repeats after the first play, 0 for ever.
    const int repeats = loops == 0 ? 0 : loops - 1;
    const GifByteType count[] = {1, GifByteType(repeats & 0xFF), GifByteType(repeats >> 8)};
    if (EGifPutExtensionLeader(m_gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(m_gif, 11, "NETSCAPE2.0") != GIF_OK ||
        EGifPutExtensionBlock(m_gif, 3, count) != GIF_OK ||
        EGifPutExtensionTrailer(m_gif) != GIF_OK)
        failed();
}

AnimatedGif::~AnimatedGif()
{
    if (m_gif)
        EGifCloseFile(m_gif, nullptr);
}

bool AnimatedGif::failed()
{
    if (m_gif) {
        m_error = m_gif->Error ? m_gif->Error : E_GIF_ERR_WRITE_FAILED;
        EGifCloseFile(m_gif, nullptr);
        m_gif = nullptr;
    }
    return false;
}

bool AnimatedGif::addFrame(const QImage &picture, std::int64_t delayMs)
{
    std::int64_t delayCs = std::max<std::int64_t>(1, (delayMs + 5) / 10);
    while (delayCs > kLongestDelayCs) {
        if (!putFrame(picture, kLongestDelayCs))
            return false;
        delayCs -= kLongestDelayCs;
    }
    return putFrame(picture, int(delayCs));
}

bool AnimatedGif::putFrame(const QImage &picture, int delayCs)
{
    if (!m_gif)
        return false;
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT; // the next frame draws over this one
    control.DelayTime = delayCs;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const auto length = int(EGifGCBToExtension(&control, extension));
    if (EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, length, extension) != GIF_OK)
        return failed();

    const QRect part = changedPart(m_previous, picture);
    if (EGifPutImageDesc(m_gif, part.left(), part.top(), part.width(), part.height(), false,
                         nullptr) != GIF_OK)
        return failed();
    std::vector<GifPixelType> line(std::size_t(part.width()));
    for (int y = part.top(); y <= part.bottom(); ++y) {
        std::memcpy(line.data(), picture.constScanLine(y) + part.left(), line.size());
        if (EGifPutLine(m_gif, line.data(), part.width()) != GIF_OK)
            return failed();
    }
    m_previous = picture;
    return true;
}

common::Expected<QByteArray> AnimatedGif::finish()
{
    if (m_gif) {
        const int closed = EGifCloseFile(m_gif, &m_error);
        m_gif = nullptr;
        if (closed == GIF_OK)
            return m_bytes;
    }
    return common::Failure{
        common::kFailedCode,
        {},
        QString::fromUtf8(GifErrorString(m_error ? m_error : E_GIF_ERR_WRITE_FAILED)),
        common::MessageIcon::Error};
}

} // namespace pravik::show

#include "show_gif.h"

#include "animated_gif.h"
#include "show.h"
#include "show_pass.h"

#include "pravik/document/program_texts.h"

#include "common/file_replace.h"

namespace pravik::show {
namespace {

common::Failure gifFailure(int code, const QString &text)
{
    return common::Failure{code, kProgramTitle, text, common::MessageIcon::Error};
}

} // namespace

common::Status gifFits(int width, int height, int scale)
{
    const long long across = (long long)width * scale;
    const long long down = (long long)height * scale;
    if (width > 0 && height > 0 && scale > 0 && across <= kLargestGifSide &&
        down <= kLargestGifSide)
        return {};
    return gifFailure(common::kRefusedCode,
                      QStringLiteral("a board of %1 x %2 LEDs at scale %3 makes no picture of "
                                     "at most %4 pixels a side")
                          .arg(width)
                          .arg(height)
                          .arg(scale)
                          .arg(kLargestGifSide));
}

common::Expected<QByteArray> showGif(const Show &show, const GifOptions &options)
{
    if (common::Status refused = gifFits(show.width(), show.height(), options.scale))
        return *refused;
    const int width = show.width() * options.scale;
    const int height = show.height() * options.scale;
    AnimatedGif gif(width, height, previewPalette(), options.loops);
    const PreviewPainter painter(options.scale, options.shape);
    QImage picture;
    const bool played = playOnePass(show, [&](const LedImage &frame, std::int64_t ms) {
        painter.draw(frame, picture);
        return !picture.isNull() && gif.addFrame(picture, ms);
    });
    const common::Expected<QByteArray> finished = gif.finish();
    if (played && finished)
        return *finished;
    // A frame giflib refused leaves its reason; a picture that could not be
    // made leaves none.
    if (!finished)
        return gifFailure(common::kFailedCode, finished.failure().text);
    return gifFailure(
        common::kFailedCode,
        QStringLiteral("no memory for a picture of %1 x %2 pixels").arg(width).arg(height));
}

common::Status writeShowGif(const Show &show, const GifOptions &options, const QString &path)
{
    const common::Expected<QByteArray> gif = showGif(show, options);
    if (!gif)
        return gifFailure(gif.failure().code,
                          QStringLiteral("cannot write %1: %2").arg(path, gif.failure().text));
    if (const common::Status failed = common::replaceFileContents(path, *gif))
        return gifFailure(common::kFailedCode,
                          QStringLiteral("cannot write %1: %2").arg(path, failed->text));
    return {};
}

} // namespace pravik::show

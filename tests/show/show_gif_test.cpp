#include "gif_decoding.h"
#include "show_fixtures.h"
#include "test_files.h"

#include "pravik/show/show.h"
#include "pravik/show/show_effects.h"
#include "pravik/show/show_gif.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::show;

namespace {

// A 16 x 8 three-colour board: the left half red at once for a second, then
// green wiped in to the right, blinking on and off for a second.
Show twoScreens()
{
    std::string left;
    for (int y = 0; y < 8; ++y)
        left += (y > 0 ? "/" : "") + std::string(8, '1') + std::string(8, '0');
    LedImage green(16, 8);
    green.fill(Green);
    return Show(boardOf(16, 8, 2),
                {ShowScreen{ledsOf(left), ScreenProperties{AtOnce, 0, StayStill, 1, AtOnce, 0}},
                 ShowScreen{green, ScreenProperties{WipeRight, 1, BlinkOnOff, 1, AtOnce, 0}}});
}

} // namespace

// Each frame stores only what changed; a viewer keeps the rest of the frame
// before on the screen, so what it shows is the whole board at every frame.
TEST(ShowGif, AViewerShowsEveryFrameWhole)
{
    const common::Expected<QByteArray> gif = showGif(twoScreens(), GifOptions{1});
    ASSERT_TRUE(gif.ok()) << gif.failure().text.toStdString();
    const DecodedGif decoded = decodeGif(*gif);
    ASSERT_EQ(decoded.frames.size(), 19u);
    const QRgb colours[] = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0)};
    QBuffer bytes;
    bytes.setData(*gif);
    QImageReader viewer(&bytes, "gif");
    ASSERT_EQ(viewer.imageCount(), int(decoded.frames.size()));
    for (std::size_t i = 0; i < decoded.frames.size(); ++i) {
        const QImage shown = viewer.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), QSize(16, 8));
        int wrong = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                wrong += shown.pixel(x, y) != colours[decoded.at(i, x, y)] ? 1 : 0;
        EXPECT_EQ(wrong, 0) << "LEDs shown wrong in frame " << i;
    }
}

// The file is the GIF made in memory; what cannot be made or written is
// refused in words a terminal or a service passes on as they are.
TEST(ShowGif, WritesTheFileOrSaysWhyNot)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.gif"));
    const GifOptions options{2, LedShape::Dots, 3};
    ASSERT_EQ(writeShowGif(twoScreens(), options, path), common::Status());
    EXPECT_EQ(readFileBytes(path), showGif(twoScreens(), options).value());

    const QString nowhere = dir.filePath(QStringLiteral("gone/show.gif"));
    const common::Status unwritten = writeShowGif(twoScreens(), options, nowhere);
    ASSERT_TRUE(unwritten.has_value());
    EXPECT_TRUE(unwritten->text.startsWith(QStringLiteral("cannot write %1: ").arg(nowhere)))
        << unwritten->text.toStdString();

    const Show wide(boardOf(4096, 8, 2), {});
    const common::Expected<QByteArray> tooWide = showGif(wide, GifOptions{16});
    ASSERT_FALSE(tooWide.ok());
    EXPECT_EQ(tooWide.failure().text,
              "a board of 4096 x 8 LEDs at scale 16 makes no picture of at most 65535 pixels "
              "a side");
    EXPECT_EQ(tooWide.failure().code, common::kRefusedCode);
}

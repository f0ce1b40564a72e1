// pravik-cli preview: the show written as an animated GIF, read back with
// giflib, and the command line it refuses.
#include "../show/gif_decoding.h"
#include "pravik_cli_run.h"

#include "common/text_codec.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A 16 x 8 three-colour board: the left half red at once for a second, then
// green wiped in to the right, blinking on and off for a second.
class PravikCliPreview : public ::testing::Test
{
protected:
    PravikCliPreview()
    {
        QImage left(16, 8, QImage::Format_RGB32);
        left.fill(Qt::black);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                left.setPixel(x, y, qRgb(255, 0, 0));
        left.save(dir.filePath(QStringLiteral("left.bmp")));
        QImage green(16, 8, QImage::Format_RGB32);
        green.fill(qRgb(0, 255, 0));
        green.save(dir.filePath(QStringLiteral("green.bmp")));
        writeDisplayFile(QStringLiteral("left.bmp"));
    }

    void writeDisplayFile(const QString &firstPicture)
    {
        const QString text =
            QStringLiteral("[comm]\nPort =   0\nIP Port =    1973\nIP Address = 127.0.0.2\n"
                           "Address =  1\nfeedback =  1\nscrtype =  2\nscrwidth =  16\n"
                           "scrhigh =  8\n[Pics]\n"
                           "0\n\"%1\"\n\"立即显示\"\n\"0\"\n\"画面停留\"\n\"1\"\n\"显示图片\"\n"
                           "\"立即显示\"\n\"0\"\n"
                           "1\n\"green.bmp\"\n\"向右展开\"\n\"1\"\n\"亮灭闪烁\"\n\"1\"\n"
                           "\"显示图片\"\n\"立即显示\"\n\"0\"\n")
                .arg(firstPicture);
        ASSERT_TRUE(writeFileBytes(
            file, common::encodeCodePage936(QString(text).replace(u'\n', QStringLiteral("\r\n")))));
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("two.lt"));
    const QString gif = dir.filePath(QStringLiteral("two.gif"));
};

} // namespace

TEST_F(PravikCliPreview, WritesAFrameForEachChangeWithTheBoardsDelays)
{
    const std::vector<int> wipe(15, 2); // steps 1 to 15 of 16, 20 ms each
    const auto joined = [](std::vector<int> a, const std::vector<int> &b,
                           const std::vector<int> &c) {
        a.insert(a.end(), b.begin(), b.end());
        a.insert(a.end(), c.begin(), c.end());
        return a;
    };
    const struct
    {
        QStringList options;
        int scale;
        std::vector<int> delays;
        int firstLeft, firstRight; // LEDs (0, 0) and (15, 7) of the first frame
        int halfway;               // the frame with the left half wiped in; -1 none
        int repeats;
    } cases[] = {
        // Red for its step and the second of its stay; dark for its exit and
        // the wipe's first step; the wipe; the blink, lit, then dark with the
        // exit after it.
        {{"--scale", "1"}, 1, joined({101, 3}, wipe, {50, 51}), kGifRed, kGifOff, 9, 0},
        {{"--from", "1", "--scale", "2", "--loops", "3"},
         2,
         joined({2}, wipe, {50, 51}),
         kGifOff,
         kGifOff,
         8,
         2},
        {{"--screens", "1", "--loops", "1"}, 4, {101, 1}, kGifRed, kGifOff, -1, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const ProgramRun run = runPravikCli(QStringList{"preview", file, gif} + c.options);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const DecodedGif decoded = decodeGif(readFileBytes(gif));
        const int s = c.scale;
        EXPECT_EQ(decoded.width, 16 * s);
        EXPECT_EQ(decoded.height, 8 * s);
        EXPECT_EQ(decoded.delays, c.delays);
        EXPECT_EQ(decoded.repeats, c.repeats);
        ASSERT_EQ(decoded.frames.size(), c.delays.size());
        EXPECT_EQ(decoded.at(0, 0, 0), c.firstLeft);
        EXPECT_EQ(decoded.at(0, 16 * s - 1, 8 * s - 1), c.firstRight);
        if (c.halfway >= 0) {
            const auto half = std::size_t(c.halfway);
            EXPECT_EQ(decoded.at(half, 8 * s - 1, 8 * s - 1), kGifGreen);
            EXPECT_EQ(decoded.at(half, 8 * s, 0), kGifOff);
            EXPECT_EQ(decoded.at(half + 8, 16 * s - 1, 0), kGifGreen); // the blink, lit
        }
        EXPECT_EQ(decoded.frames.back(), std::vector<int>(decoded.frames.back().size(), kGifOff));
    }
}

// Frames as pictures, each named with its time on standard output.
TEST_F(PravikCliPreview, WritesNumberedPicturesWithTheirTimes)
{
    const QString frames = dir.filePath(QStringLiteral("frames"));
    const ProgramRun run =
        runPravikCli({"preview", file, "--frames", frames, "--screens", "1", "--dots"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "frame-0001.png 1010\nframe-0002.png 10\n");
    const QImage first(frames + QStringLiteral("/frame-0001.png"));
    ASSERT_EQ(first.size(), QSize(64, 32));
    // A round dot: lit in the middle of its four pixels, panel at its corner;
    // an unlit LED faint.
    EXPECT_EQ(first.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(first.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(first.pixel(62, 2), qRgb(0x33, 0x33, 0x33));
}

// A wrong command line, an unreadable file or a screen that cannot be drawn
// exits 2 with its message and writes nothing.
TEST_F(PravikCliPreview, RefusesWhatItCannotPlay)
{
    const QString missing = dir.filePath(QStringLiteral("missing.lt"));
    const struct
    {
        QStringList arguments;
        QString firstLine;
        QString firstPicture = QStringLiteral("left.bmp");
    } cases[] = {
        {{file}, "pravik-cli preview: give FILE.lt and either OUT.gif or --frames DIR"},
        {{file, gif, "--scale", "0"},
         "pravik-cli preview: --scale takes a number from 1 to 16, not '0'"},
        {{file, gif, "--dots", "--scale", "2"},
         "pravik-cli preview: --dots needs a scale of 3 or more"},
        {{file, gif, "--loops"}, "pravik-cli preview: --loops needs a value"},
        {{file, gif, "--from", "2"},
         "pravik-cli preview: the display file has screens 0 to 1, not '2'"},
        {{file, gif, "--screens", "3"},
         "pravik-cli preview: the display file has screens 0 to 1, not '0 to 2'"},
        {{missing, gif}, "Pravik: 无法读取显示文件 " + missing},
        {{file, gif}, "Pravik:   不存在的文件名gone.bmp", "gone.bmp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        writeDisplayFile(c.firstPicture);
        const ProgramRun run = runPravikCli(QStringList{"preview"} + c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.messages().value(0), c.firstLine);
        EXPECT_FALSE(QFile::exists(gif));
    }
}

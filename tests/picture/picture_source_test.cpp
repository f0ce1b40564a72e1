#include "picture_fixtures.h"

#include "pravik/picture/formats/bmp_reader.h"
#include "pravik/picture/picture_source.h"
#include "pravik/picture/text_rendering.h"

#include "test_files.h"

#include <QBuffer>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::picture;

namespace {

const QString kPictures = QStringLiteral(EXAMPLES_DIR "/pictures/");

QSet<QRgb> coloursOf(const BoardCanvas &canvas, int fromX = 0)
{
    QSet<QRgb> colours;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = fromX; x < canvas.width(); ++x)
            colours.insert(canvas.pixel(x, y));
    return colours;
}

int litPixels(const BoardCanvas &canvas, int rows = 1 << 16)
{
    int lit = 0;
    for (int y = 0; y < std::min(rows, canvas.height()); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            lit += canvas.pixel(x, y) != kBlack;
    return lit;
}

} // namespace

TEST(PictureSource, ReadsEveryKindOfSource)
{
    for (const char *name : {"welcome.bmp", "exit.gif", "sale.pcx", "welcome.txt", "notice.rtf"}) {
        BoardCanvas canvas(160, 32, 616);
        const SourceResult result = loadSource(kPictures + QLatin1String(name), canvas);
        EXPECT_EQ(result.status, SourceResult::Status::Drawn)
            << name << " " << result.reason.toStdString();
        EXPECT_GT(litPixels(canvas), 50) << name;
    }
}

TEST(PictureSource, PictureKeepsItsSizeAndTheRestStaysBlack)
{
    QTemporaryDir dir;
    QImage small(10, 4, QImage::Format_RGB32);
    small.fill(kBlue);
    const QString path = dir.filePath(QStringLiteral("small.png"));
    ASSERT_TRUE(small.save(path));
    // An earlier screen left its picture, all green.
    BoardCanvas canvas = canvasOf(64, 16, 616, [](int, int) { return kGreen; });
    ASSERT_EQ(loadSource(path, canvas).status, SourceResult::Status::Drawn);
    EXPECT_EQ(canvas.pixel(9, 3), kBlue);
    EXPECT_EQ(canvas.pixel(10, 3), kBlack);
    EXPECT_EQ(canvas.pixel(9, 4), kBlack);
    EXPECT_EQ(canvas.pixel(63, 15), kBlack);
}

TEST(PictureSource, MissingFilesAreMissing)
{
    QTemporaryDir dir;
    BoardCanvas canvas(64, 16, 616);
    EXPECT_EQ(loadSource(dir.filePath(QStringLiteral("none.bmp")), canvas).status,
              SourceResult::Status::Missing);
    EXPECT_EQ(loadSource(dir.path(), canvas).status, SourceResult::Status::Missing);
}

TEST(PictureSource, APictureCutShortIsRefusedNeverDrawnInPart)
{
    // The toolkit would draw what there is: black rows, half a GIF, a grey
    // JPEG. Only bytes after the picture data (the GIF's trailer) may go.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QImage(kPictures + QStringLiteral("welcome.bmp")).save(&buffer, "jpg"));
    const QByteArray bmp = readFileBytes(kPictures + QStringLiteral("welcome.bmp"));
    const QByteArray gif = readFileBytes(kPictures + QStringLiteral("exit.gif"));
    const std::tuple<const char *, QByteArray, qsizetype, bool> cases[] = {
        {"a.bmp", bmp, bmp.size() / 2, false}, {"b.bmp", bmp, bmp.size() - 1, false},
        {"a.gif", gif, gif.size() / 2, false}, {"b.gif", gif, gif.size() - 1, true},
        {"a.jpg", jpeg, jpeg.size() / 2, false}, {"b.jpg", jpeg, jpeg.size() - 2, false}};
    QTemporaryDir dir;
    for (const auto &[name, whole, length, drawn] : cases) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(writeFileBytes(path, whole.left(length)));
        BoardCanvas cut(160, 32, 616);
        const SourceResult result = loadSource(path, cut);
        if (!drawn) {
            EXPECT_EQ(result.status, SourceResult::Status::Unreadable);
            EXPECT_EQ(result.reason, QStringLiteral("The picture data ends early (truncated file?)"));
            continue;
        }
        ASSERT_TRUE(writeFileBytes(path + u'w', whole));
        BoardCanvas full(160, 32, 616);
        ASSERT_EQ(loadSource(path + u'w', full).status, SourceResult::Status::Drawn);
        EXPECT_EQ(result.status, SourceResult::Status::Drawn);
        EXPECT_EQ(cut.composed(), full.composed());
    }
}

TEST(PictureSource, RelativePathsStartAtTheDisplayFile)
{
    EXPECT_EQ(resolveSourcePath(QStringLiteral("pictures/a.bmp"), QStringLiteral("/signs/shop.lt")),
              QStringLiteral("/signs/pictures/a.bmp"));
    EXPECT_EQ(resolveSourcePath(QStringLiteral("/abs/a.bmp"), QStringLiteral("/signs/shop.lt")),
              QStringLiteral("/abs/a.bmp"));
    EXPECT_EQ(resolveSourcePath(QStringLiteral("a.bmp"), QString()), QStringLiteral("a.bmp"));
}

// Plain text is drawn yellow on black without half-lit pixels. The type is
// the last three letters of the name, in any case: "picture.bmp.txt" is a
// text, "photo.jpeg" a picture.
TEST(TextSource, PlainTextIsYellowOnBlackAndKnownByTheLastThreeLetters)
{
    QTemporaryDir dir;
    for (const char *name : {"sign.txt", "SIGN.TXT", "picture.bmp.txt", "Notice.Txt"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(
            writeFileBytes(path, QStringLiteral("欢迎光临 LED 显示屏\n今日特价 8 折").toUtf8()));
        for (const int height : {16, 32}) {
            BoardCanvas canvas(160, height, 616);
            ASSERT_EQ(loadSource(path, canvas).status, SourceResult::Status::Drawn) << name;
            EXPECT_EQ(coloursOf(canvas), (QSet<QRgb>{kBlack, kYellow})) << name << " " << height;
            EXPECT_GT(litPixels(canvas), 300) << name;
        }
    }
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(kGreen);
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("photo.jpeg")), "JPEG"));
    BoardCanvas canvas(64, 16, 616);
    ASSERT_EQ(loadSource(dir.filePath(QStringLiteral("photo.jpeg")), canvas).status,
              SourceResult::Status::Drawn);
    EXPECT_EQ(qGreen(canvas.pixel(3, 3)), 255);
    EXPECT_EQ(canvas.pixel(8, 3), kBlack);
}

TEST(TextSource, GbkTextReadsLikeUtf8)
{
    const QString text = QStringLiteral("营业时间 9:00-21:00");
    EXPECT_EQ(decodeTextFile(text.toUtf8()), text);
    EXPECT_EQ(decodeTextFile(QByteArray("\xd3\xaa\xd2\xb5\xca\xb1\xbc\xe4 9:00-21:00")), text);
}

// The text runs past the first strip; the second strip must hold the rest of
// the text, not what an earlier picture left there.
TEST(TextSource, WideBoardTakesEveryColumnFromTheText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide.txt"));
    ASSERT_TRUE(writeFileBytes(path, QString(80, QChar(0x6587)).toUtf8())); // a long line of 文
    BoardCanvas canvas = canvasOf(1024, 16, 616, [](int, int) { return kGreen; });
    ASSERT_EQ(loadSource(path, canvas).status, SourceResult::Status::Drawn);
    EXPECT_EQ(coloursOf(canvas, 616), (QSet<QRgb>{kBlack, kYellow}));
}

TEST(TextSource, RichTextKeepsItsColours)
{
    BoardCanvas canvas(160, 32, 616);
    ASSERT_EQ(loadSource(kPictures + QStringLiteral("notice.rtf"), canvas).status,
              SourceResult::Status::Drawn);
    EXPECT_EQ(coloursOf(canvas), (QSet<QRgb>{kBlack, kRed, kGreen, kYellow}));
}

// The board font's glyphs rise above the ascent by which the text box places
// and shades a line: drawn first, a line must light from row 0 on the LEDs it
// lights lower down, inverse text (its background) too.
TEST(TextSource, TheFirstLineKeepsTheTopsOfItsGlyphs)
{
    // 营业 AH at 12 pt (16 LEDs), bold at 9 pt (12 LEDs), black on red.
    const std::pair<const char *, QByteArray> rows[] = {
        {"a.txt", QStringLiteral("欢迎光临").toUtf8()},
        {"b.rtf", R"({\rtf1\ansicpg936 \'d3\'aa\'d2\'b5 AH})"},
        {"c.rtf", R"({\rtf1\ansicpg936\fs18\b \'d3\'aa\'d2\'b5 AH})"},
        {"d.rtf", R"({\rtf1\ansicpg936{\colortbl;\red255\green0\blue0;\red0\green0\blue0;})"
                  R"(\cf2\highlight1 \'d3\'aa\'d2\'b5 AH})"}};
    QTemporaryDir dir;
    for (const auto &[name, line] : rows) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        const QByteArray below = line.startsWith('{')
                                     ? QByteArray(line).insert(line.indexOf(' '), "\\par")
                                     : "\n" + line;
        BoardCanvas first(64, 40, 616), second(64, 40, 616);
        ASSERT_TRUE(writeFileBytes(path, line));
        ASSERT_EQ(loadSource(path, first).status, SourceResult::Status::Drawn);
        ASSERT_TRUE(writeFileBytes(path, below));
        ASSERT_EQ(loadSource(path, second).status, SourceResult::Status::Drawn);
        EXPECT_GT(litPixels(first, 1), 0) << name;
        EXPECT_EQ(litPixels(first), litPixels(second)) << name;
    }
}

TEST(PlainBmp, ReadsLikeTheGeneralReader)
{
    QTemporaryDir dir;
    // Odd widths need padded rows; a negative height stores the rows top-down.
    QImage odd(13, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x)
            odd.setPixel(x, y, qRgb(x * 19, y * 50, (x * y) % 256));
    const QString path = dir.filePath(QStringLiteral("odd.bmp"));
    ASSERT_TRUE(odd.save(path, "BMP"));
    const QByteArray bottomUp = readFileBytes(path);
    const qsizetype start = static_cast<quint8>(bottomUp[10]), rowBytes = (13 * 3 + 3) / 4 * 4;
    QByteArray topDown = bottomUp.left(start);
    for (int row = 4; row >= 0; --row)
        topDown += bottomUp.mid(start + row * rowBytes, rowBytes);
    const qint32 negative = -5;
    topDown.replace(22, 4, QByteArray(reinterpret_cast<const char *>(&negative), 4));

    for (const QByteArray &bytes :
         {readFileBytes(kPictures + QStringLiteral("welcome.bmp")), bottomUp, topDown}) {
        const QImage fast = readPlainBmp(bytes);
        ASSERT_FALSE(fast.isNull());
        EXPECT_EQ(fast, QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32));
    }
    // Not plain 24-bit: left to the general reader.
    EXPECT_TRUE(readPlainBmp(QByteArray("BM") + QByteArray(60, '\0')).isNull());
}

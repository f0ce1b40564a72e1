#include "common/rtf/rtf_reader.h"

#include "rtf_test_support.h"

#include <QTextBlock>
#include <gtest/gtest.h>

using common::readRtf;
using namespace rtftest;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);
const QString kSongTi = QStringLiteral("宋体");

QString textOf(const QByteArray &rtf)
{
    QTextDocument document;
    EXPECT_TRUE(readRtf(rtf, document)) << rtf.constData();
    return paragraphs(document).join(u'\n');
}

} // namespace

// What WordPad saves on a Chinese system: GBK bytes in a \fcharset134 font.
TEST(RtfReaderSamples, WordPadChineseDocument)
{
    QTextDocument document;
    QString error = QStringLiteral("stale");
    ASSERT_TRUE(readRtf(fixture("wordpad_gbk.rtf"), document, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(paragraphs(document),
              QStringList({QStringLiteral("欢迎光临"), QStringLiteral("红色 Welcome"),
                           QStringLiteral("绿色ABC")}));

    const QTextCharFormat welcome = formatOf(document, QStringLiteral("欢迎"));
    EXPECT_EQ(familyOf(welcome), kSongTi);
    EXPECT_EQ(pixelSizeOf(welcome), 16);
    EXPECT_FALSE(colourOf(welcome).isValid());
    EXPECT_NE(welcome.fontWeight(), QFont::Bold);

    const QTextCharFormat red = formatOf(document, QStringLiteral("红色"));
    EXPECT_EQ(colourOf(red), kRed);
    EXPECT_EQ(red.fontWeight(), QFont::Bold);
    EXPECT_EQ(pixelSizeOf(red), 12);

    const QTextCharFormat english = formatOf(document, QStringLiteral("Welcome"));
    EXPECT_EQ(familyOf(english), QStringLiteral("Arial"));
    EXPECT_FALSE(colourOf(english).isValid());
    EXPECT_NE(english.fontWeight(), QFont::Bold);

    const QTextCharFormat green = formatOf(document, QStringLiteral("绿色"));
    EXPECT_EQ(colourOf(green), kGreen);
    EXPECT_EQ(pixelSizeOf(green), 10);
    EXPECT_EQ(familyOf(formatOf(document, QStringLiteral("ABC"))), QStringLiteral("Arial"));

    EXPECT_EQ(alignmentOf(document, 0), Qt::AlignLeft);
    EXPECT_EQ(alignmentOf(document, 1), Qt::AlignLeft);
    EXPECT_EQ(alignmentOf(document, 2), Qt::AlignHCenter);
}

// What Word saves: \uN with GBK fallbacks (\uc2), a style sheet, document
// information, headers, pictures, fields, bookmarks and hidden text.
TEST(RtfReaderSamples, WordDocumentWithUnicodeAndDestinations)
{
    QTextDocument document;
    ASSERT_TRUE(readRtf(fixture("word_unicode.rtf"), document));
    EXPECT_EQ(paragraphs(document),
              QStringList({QStringLiteral("上海 Shanghai link"), QStringLiteral("！中あ end")}));
    const QString all = document.toRawText();
    for (const char *absent : {"Header", "Footer", "hidden", "Sample", "Someone", "HYPERLINK",
                               "Normal", "Paragraph Font", "89504e47", "SimSun", "02010600"})
        EXPECT_FALSE(all.contains(QLatin1String(absent))) << absent;

    const QTextCharFormat city = formatOf(document, QStringLiteral("上海"));
    EXPECT_EQ(familyOf(city), kSongTi);
    EXPECT_EQ(colourOf(city), kYellow);
    EXPECT_EQ(city.fontWeight(), QFont::Bold);
    EXPECT_EQ(pixelSizeOf(city), 18);

    const QTextCharFormat latin = formatOf(document, QStringLiteral("Shanghai"));
    EXPECT_EQ(familyOf(latin), QStringLiteral("Times New Roman"));
    EXPECT_EQ(colourOf(latin), kYellow);
    EXPECT_NE(latin.fontWeight(), QFont::Bold);

    const QTextCharFormat link = formatOf(document, QStringLiteral("link"));
    EXPECT_EQ(colourOf(link), kBlue);
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(pixelSizeOf(link), 11); // \fs21: half points round up

    EXPECT_EQ(pixelSizeOf(formatOf(document, QStringLiteral("！"))), 14);
    EXPECT_EQ(alignmentOf(document, 0), Qt::AlignHCenter);
    EXPECT_EQ(alignmentOf(document, 1), Qt::AlignLeft);
}

TEST(RtfReaderSamples, ColoursAlignmentAndEscapes)
{
    QTextDocument document;
    ASSERT_TRUE(readRtf(fixture("colours_alignment.rtf"), document));
    EXPECT_EQ(paragraphs(document),
              QStringList({QStringLiteral("left red"), QStringLiteral("centre green"),
                           QStringLiteral("right yellow"),
                           QStringLiteral("justified auto nested red back\u2028next\ttabbed"
                                          "\u00A0nbsp \\ { }")}));
    const struct
    {
        const char *text;
        QColor colour;
        Qt::Alignment alignment;
        int pixelSize;
    } rows[] = {
        {"left", kRed, Qt::AlignLeft, 12},
        {"centre", kGreen, Qt::AlignHCenter, 12},
        {"right", kYellow, Qt::AlignRight, 16},
        {"justified", QColor(), Qt::AlignJustify, 12},
    };
    for (int i = 0; i < 4; ++i) {
        const QTextCharFormat format = formatOf(document, QLatin1String(rows[i].text));
        EXPECT_EQ(colourOf(format), rows[i].colour) << rows[i].text;
        EXPECT_EQ(pixelSizeOf(format), rows[i].pixelSize) << rows[i].text;
        EXPECT_EQ(alignmentOf(document, i), rows[i].alignment) << rows[i].text;
    }
    const QTextCharFormat nested = formatOf(document, QStringLiteral("nested"));
    EXPECT_EQ(colourOf(nested), kRed);
    EXPECT_TRUE(nested.fontItalic());
    const QTextCharFormat after = formatOf(document, QStringLiteral("back"));
    EXPECT_FALSE(colourOf(after).isValid());
    EXPECT_FALSE(after.fontItalic());
}

TEST(RtfReaderText, DecodesCharactersAndSkipsWhatIsNotText)
{
    const struct
    {
        const char *name;
        QByteArray rtf;
        QString text;
    } rows[] = {
        {"escapes", R"({\rtf1 a\\b\{c\}d})", QStringLiteral("a\\b{c}d")},
        {"no-break space, tab, line", R"({\rtf1 a\~b\tab c\line d})",
         QStringLiteral("a\u00A0b\tc\u2028d")},
        {"named punctuation", R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
         QStringLiteral("\u2014\u2013\u2022\u2018\u2019\u201C\u201D")},
        {"\\u skips one fallback", R"({\rtf1 \u20013?x})", QStringLiteral("中x")},
        {"negative \\u", R"({\rtf1 \u-255?x})", QStringLiteral("！x")},
        {"surrogate pair", R"({\rtf1 \u-10179?\u-8704?})", QStringLiteral("😀")},
        {"\\uc0", R"({\rtf1 \uc0\u20013 x})", QStringLiteral("中x")},
        {"\\uc2 skips two hex bytes", R"({\rtf1\uc2\u20013\'d6\'d0x})", QStringLiteral("中x")},
        {"a control word is one fallback", R"({\rtf1\uc1\u20013\'3f\u22269\b x})",
         QStringLiteral("中国x")},
        {"fallback ends with the group", R"({\rtf1\uc3{\u20013 a}b})", QStringLiteral("中b")},
        {"\\uc restored after the group", R"({\rtf1 {\uc0 }\u20013 xy})", QStringLiteral("中y")},
        {"document code page 1252", R"({\rtf1\ansi \'e9t\'e9})", QStringLiteral("été")},
        {"document code page 1251", R"({\rtf1\ansi\ansicpg1251 \'c0\'e1})", QStringLiteral("Аб")},
        {"document code page 936", R"({\rtf1\ansi\ansicpg936 \'d6\'d0})", QStringLiteral("中")},
        {"font charset wins over the document",
         R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset134 A;}{\f1\fcharset0 B;}}\f0\'d6\'d0\f1\'e9})",
         QStringLiteral("中é")},
        {"default charset leaves it to the document",
         R"({\rtf1\ansi\ansicpg936{\fonttbl{\f0\fcharset1 A;}}\f0\'d6\'d0})", QStringLiteral("中")},
        {"font code page", R"({\rtf1\ansi{\fonttbl{\f0\cpg936 A;}}\f0\'d6\'d0})",
         QStringLiteral("中")},
        {"GBK trail byte written as a plain character", R"({\rtf1\ansicpg936 \'81@\'81\\})",
         QStringLiteral("丂乗")},
        {"euro sign of the Windows Chinese code page", R"({\rtf1\ansicpg936 \'80\'81\'80x\'80})",
         QStringLiteral("€亐x€")},
        {"unknown control words", R"({\rtf1 a\foo123 b\bar c})", QStringLiteral("abc")},
        {"starred destination", R"({\rtf1 a{\*\foo b{c}d}e})", QStringLiteral("ae")},
        {"picture after other words", R"({\rtf1 a{\plain\pict 0102}b})", QStringLiteral("ab")},
        {"braces inside binary data", "{\\rtf1 a{\\pict\\bin3 }}}}b}", QStringLiteral("ab")},
        {"binary data in text", R"({\rtf1 a\bin2 xyb})", QStringLiteral("ab")},
        {"hidden text", R"({\rtf1 a{\v b}c})", QStringLiteral("ac")},
        {"list bullet text is shown", R"({\rtf1 {\pntext\'b7\tab}x})", QStringLiteral("\u00B7\tx")},
        {"optional hyphen", R"({\rtf1 a\-b})", QStringLiteral("ab")},
        {"line ends in the file", "{\\rtf1 a\r\nb}", QStringLiteral("ab")},
        {"backslash line end is a paragraph", "{\\rtf1 a\\\nb}", QStringLiteral("a\nb")},
        {"final \\par ends the last paragraph", R"({\rtf1 a\par})", QStringLiteral("a")},
        {"two final \\par leave one empty paragraph", R"({\rtf1 a\par\par})",
         QStringLiteral("a\n")},
        {"leading \\par", R"({\rtf1 \par a})", QStringLiteral("\na")},
        {"text after the document", R"({\rtf1 a}b)", QStringLiteral("a")},
        {"missing closing braces", R"({\rtf1 a{b)", QStringLiteral("ab")},
        {"byte order mark and white space", "\xEF\xBB\xBF \r\n{\\rtf1 a}", QStringLiteral("a")},
        {"control characters in \\u", R"({\rtf1 a\u10?b\u8233?c})", QStringLiteral("ab\u2028c")},
    };
    for (const auto &row : rows)
        EXPECT_EQ(textOf(row.rtf), row.text) << row.name;
}

TEST(RtfReaderText, RefusesWhatIsNotRtf)
{
    for (const char *bytes : {"", "hello", "{\\rt", "\\rtf1 x", "{rtf1}", "<html>"}) {
        QTextDocument document(QStringLiteral("old text"));
        QString error;
        EXPECT_FALSE(readRtf(bytes, document, &error)) << bytes;
        EXPECT_FALSE(error.isEmpty()) << bytes;
        EXPECT_TRUE(document.isEmpty()) << bytes;
    }
}

TEST(RtfReaderFormat, CharacterStateFollowsWordsAndGroups)
{
    QTextDocument document;
    ASSERT_TRUE(readRtf(R"({\rtf1{\colortbl;\red255\green0\blue0;})"
                        R"(\b bold{\i\cf1 italic}\ul under\ulnone\b0 plain\strike struck)"
                        R"(\plain\b\i\ul\cf1\fs40 all\plain reset})",
                        document));
    const QTextCharFormat bold = formatOf(document, QStringLiteral("bold"));
    EXPECT_EQ(bold.fontWeight(), QFont::Bold);
    EXPECT_FALSE(bold.fontItalic());
    const QTextCharFormat italic = formatOf(document, QStringLiteral("italic"));
    EXPECT_EQ(italic.fontWeight(), QFont::Bold);
    EXPECT_TRUE(italic.fontItalic());
    EXPECT_EQ(colourOf(italic), kRed);
    const QTextCharFormat under = formatOf(document, QStringLiteral("under"));
    EXPECT_TRUE(under.fontUnderline());
    EXPECT_FALSE(under.fontItalic());
    EXPECT_FALSE(colourOf(under).isValid());
    const QTextCharFormat plain = formatOf(document, QStringLiteral("plain"));
    EXPECT_FALSE(plain.fontUnderline());
    EXPECT_NE(plain.fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(document, QStringLiteral("struck")).fontStrikeOut());
    const QTextCharFormat all = formatOf(document, QStringLiteral("all"));
    EXPECT_EQ(pixelSizeOf(all), 20);
    EXPECT_TRUE(all.fontItalic() && all.fontUnderline() && all.fontWeight() == QFont::Bold);
    const QTextCharFormat reset = formatOf(document, QStringLiteral("reset"));
    EXPECT_EQ(pixelSizeOf(reset), 12);
    EXPECT_FALSE(reset.fontItalic() || reset.fontUnderline() || reset.fontStrikeOut() ||
                 reset.fontWeight() == QFont::Bold || colourOf(reset).isValid());
}

TEST(RtfReaderFormat, SizesAreOnePixelPerPoint)
{
    const struct
    {
        const char *size;
        int pixels;
    } rows[] = {{"\\fs24", 12}, {"\\fs25", 13}, {"\\fs2", 1},   {"\\fs1", 1},          {"\\fs", 12},
                {"\\fs0", 12},  {"\\fs-8", 12}, {"\\fs32", 16}, {"\\fs99999999", 1024}};
    for (const auto &row : rows) {
        QTextDocument document;
        ASSERT_TRUE(readRtf(QByteArray("{\\rtf1 ") + row.size + " x}", document));
        EXPECT_EQ(pixelSizeOf(formatOf(document, QStringLiteral("x"))), row.pixels) << row.size;
    }
}

TEST(RtfReaderFormat, FontAndColourTablesInTheirVariousForms)
{
    QTextDocument document;
    ASSERT_TRUE(readRtf(R"({\rtf1\deff1{\fonttbl\f0\fswiss Helvetica;\f1 Times;{\f2 Courier}})"
                        R"({\colortbl\red1\green2\blue3;\red9\green8\blue7;;})"
                        R"(dflt\f0 helv\f2 cour\f7 none\cf0 zero\cf1 first\cf2 auto\cf9 past})",
                        document));
    EXPECT_EQ(familyOf(formatOf(document, QStringLiteral("dflt"))), QStringLiteral("Times"));
    EXPECT_EQ(familyOf(formatOf(document, QStringLiteral("helv"))), QStringLiteral("Helvetica"));
    EXPECT_EQ(familyOf(formatOf(document, QStringLiteral("cour"))), QStringLiteral("Courier"));
    EXPECT_TRUE(familyOf(formatOf(document, QStringLiteral("none"))).isEmpty());
    // Entry 0 is the default colour only when the table leaves it empty.
    EXPECT_EQ(colourOf(formatOf(document, QStringLiteral("zero"))), QColor(1, 2, 3));
    EXPECT_EQ(colourOf(formatOf(document, QStringLiteral("first"))), QColor(9, 8, 7));
    EXPECT_FALSE(colourOf(formatOf(document, QStringLiteral("auto"))).isValid());
    EXPECT_FALSE(colourOf(formatOf(document, QStringLiteral("past"))).isValid());
}

TEST(RtfReaderFormat, ParagraphsTakeTheAlignmentAtTheirEnd)
{
    QTextDocument document;
    ASSERT_TRUE(
        readRtf(R"({\rtf1 \qc centred\par\pard left\par\qr\fs48\par{\pard\qj last}})", document));
    ASSERT_EQ(paragraphs(document), QStringList({QStringLiteral("centred"), QStringLiteral("left"),
                                                 QString(), QStringLiteral("last")}));
    EXPECT_EQ(alignmentOf(document, 0), Qt::AlignHCenter);
    EXPECT_EQ(alignmentOf(document, 1), Qt::AlignLeft);
    EXPECT_EQ(alignmentOf(document, 2), Qt::AlignRight);
    // The empty line keeps its size: on the board it is 24 rows high.
    EXPECT_EQ(document.findBlockByNumber(2).charFormat().intProperty(QTextFormat::FontPixelSize),
              24);
    // The last paragraph has no \par; its text was justified.
    EXPECT_EQ(alignmentOf(document, 3), Qt::AlignJustify);
}

TEST(RtfReaderFormat, FontNamesInGbkWithAlternatesSkipped)
{
    QTextDocument document;
    ASSERT_TRUE(readRtf("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134"
                        "{\\*\\panose 02010600030101010101}\\'ba\\'da\\'cc\\'e5"
                        "{\\*\\falt SimHei};}}\\f0 x}",
                        document));
    EXPECT_EQ(familyOf(formatOf(document, QStringLiteral("x"))), QStringLiteral("黑体"));
}

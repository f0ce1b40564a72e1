#include "common/rtf/rtf_reader.h"

#include "rtf_test_support.h"

#include <QTextBlock>
#include <gtest/gtest.h>

using common::readRtf;
using namespace rtftest;

namespace {

QString textOf(const QByteArray &rtf)
{
    QTextDocument document;
    EXPECT_EQ(readRtf(rtf, document), std::nullopt) << rtf.constData();
    return paragraphs(document).join(u'\n');
}

} // namespace

// What WordPad saves on a Chinese system: GBK bytes in a \fcharset134 font.
TEST(RtfReaderSamples, WordPadChineseDocument)
{
    QTextDocument document;
    ASSERT_EQ(readRtf(fixture("wordpad_gbk.rtf"), document), std::nullopt);
    EXPECT_EQ(paragraphs(document).join(u'|'), QStringLiteral("欢迎光临|红色 Welcome|绿色ABC"));
    expectLooks(document, {{"欢迎", "宋体 21px default"},
                           {"红色", "宋体 16px #ff0000 bold"},
                           {"Welcome", "Arial 16px default"},
                           {"绿色", "宋体 13px #00ff00"},
                           {"ABC", "Arial 13px #00ff00"}});
    EXPECT_EQ(alignments(document), QStringLiteral("LLC"));
}

// What Word saves: \uN with GBK fallbacks (\uc2), a style sheet, document
// information, headers, pictures, fields, bookmarks and hidden text.
TEST(RtfReaderSamples, WordDocumentWithUnicodeAndDestinations)
{
    QTextDocument document;
    ASSERT_EQ(readRtf(fixture("word_unicode.rtf"), document), std::nullopt);
    EXPECT_EQ(paragraphs(document).join(u'|'), QStringLiteral("上海 Shanghai link|！中あ end"));
    expectLooks(document, {{"上海", "宋体 24px #ffff00 bold"},
                           {"Shanghai", "Times New Roman 24px #ffff00"},
                           {"link", "Times New Roman 14px #0000ff underline"},
                           {"！", "宋体 19px default"}});
    EXPECT_EQ(alignments(document), QStringLiteral("CL"));
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
        {"code page 1252, a hex escape is two digits", R"({\rtf1\ansi \'e9a\'e9t})",
         QStringLiteral("éaét")},
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
        const common::Status refused = readRtf(bytes, document);
        ASSERT_TRUE(refused.has_value()) << bytes;
        EXPECT_FALSE(refused->text.isEmpty()) << bytes;
        EXPECT_TRUE(document.isEmpty()) << bytes;
    }
}

// A background (\highlight, \cb or the shading \chcbpat) of 0 is none, even
// where colour table entry 0 holds a colour.
TEST(RtfReaderFormat, CharacterStateFollowsWordsAndGroups)
{
    QTextDocument document;
    ASSERT_EQ(readRtf(R"({\rtf1{\colortbl\red0\green0\blue9;\red255\green0\blue0;;})"
                      R"(\b bold{\i\cf1 italic}\ul under\ulnone\b0 plain\strike struck)"
                      R"(\plain\b\i\ul\cf1\fs40\highlight1 all\plain reset)"
                      R"({\cb1 cb{\highlight0 none}\highlight2 auto}{\chcbpat1 shaded}})",
                      document),
              std::nullopt);
    expectLooks(document, {{"bold", "- 16px #000009 bold"},
                           {"italic", "- 16px #ff0000 bold italic"},
                           {"under", "- 16px #000009 bold underline"},
                           {"plain", "- 16px #000009"},
                           {"struck", "- 16px #000009 struck"},
                           {"all", "- 27px #ff0000 on #ff0000 bold italic underline"},
                           {"reset", "- 16px #000009"},
                           {"cb", "- 16px #000009 on #ff0000"},
                           {"none", "- 16px #000009"},
                           {"auto", "- 16px #000009"},
                           {"shaded", "- 16px #000009 on #ff0000"}});
}

// The desktop's rich-text box draws a point at 96 dpi: 12 pt is 16 pixels.
TEST(RtfReaderFormat, SizesAreDrawnAtNinetySixDpi)
{
    const std::pair<const char *, int> rows[] = {
        {"\\fs24", 16},        {"\\fs18", 12}, {"\\fs25", 17},     {"\\fs21", 14},
        {"\\fs2", 1},          {"\\fs1", 1},   {"\\fs", 16},       {"\\fs0", 16},
        {"\\fs-8", 16},        {"\\fs32", 21}, {"\\fs1536", 1024}, {"\\fs1538", 1024},
        {"\\fs99999999", 1024}};
    for (const auto &[size, pixels] : rows) {
        QTextDocument document;
        ASSERT_EQ(readRtf(QByteArray("{\\rtf1 ") + size + " x}", document), std::nullopt);
        EXPECT_EQ(pixelSizeOf(formatOf(document, QStringLiteral("x"))), pixels) << size;
    }
}

// Entry 0 of a colour table is the default colour only when the table leaves
// it empty; font names may be split by groups, written in GBK, and come with
// alternates that are no part of the name.
TEST(RtfReaderFormat, FontAndColourTablesInTheirVariousForms)
{
    QTextDocument document;
    ASSERT_EQ(readRtf(R"({\rtf1\deff1{\fonttbl\f0\fswiss Helvetica;\f1 Times;{\f2 Courier}})"
                      R"({\colortbl\red1\green2\blue3;\red9\green8\blue7;;})"
                      R"(dflt\f0 helv\f2 cour\f7 none\cf0 zero\cf1 first\cf2 auto\cf9 past})",
                      document),
              std::nullopt);
    expectLooks(document, {{"dflt", "Times 16px #010203"},
                           {"helv", "Helvetica 16px #010203"},
                           {"cour", "Courier 16px #010203"},
                           {"none", "- 16px #010203"},
                           {"zero", "- 16px #010203"},
                           {"first", "- 16px #090807"},
                           {"auto", "- 16px default"},
                           {"past", "- 16px default"}});

    ASSERT_EQ(readRtf("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134"
                      "{\\*\\panose 02010600030101010101}\\'ba\\'da\\'cc\\'e5"
                      "{\\*\\falt SimHei};}}\\f0 x}",
                      document),
              std::nullopt);
    expectLooks(document, {{"x", "黑体 16px default"}});
}

// A paragraph takes the alignment in effect at its \par; the last one, without
// \par, the alignment its text had.
TEST(RtfReaderFormat, ParagraphsTakeTheAlignmentAtTheirEnd)
{
    const struct
    {
        const char *rtf;
        const char *paragraphs;
        const char *alignments;
    } rows[] = {
        {R"({\rtf1 \qc centred\par\pard left\par\qr\par{\pard\qj last}})", "centred|left||last",
         "CLRJ"},
        {R"({\rtf1\qc Hi})", "Hi", "C"},
        {R"({\rtf1\qr one\par\qj})", "one", "R"},
    };
    for (const auto &row : rows) {
        QTextDocument document;
        ASSERT_EQ(readRtf(row.rtf, document), std::nullopt);
        EXPECT_EQ(paragraphs(document).join(u'|'), QLatin1String(row.paragraphs)) << row.rtf;
        EXPECT_EQ(alignments(document), QLatin1String(row.alignments)) << row.rtf;
    }
}

// An empty line keeps its size: on the board it is that many rows high.
TEST(RtfReaderFormat, EmptyParagraphsKeepTheSizeOfTheirLine)
{
    for (const char *rtf : {R"({\rtf1\fs48\par x})", R"({\rtf1 x\par\fs48\par y})"}) {
        QTextDocument document;
        ASSERT_EQ(readRtf(rtf, document), std::nullopt);
        const int empty = int(paragraphs(document).indexOf(QString()));
        ASSERT_GE(empty, 0) << rtf;
        EXPECT_EQ(pixelSizeOf(document.findBlockByNumber(empty).charFormat()), 32) << rtf;
    }
}

// A text screen's file may be anything the operator picked: the reader must
// come back whatever the nesting or the size (how quickly: picture_bench).
TEST(RtfReaderLimits, DeepNestingIsSkipped)
{
    const QByteArray deep(100000, '{'), closing(100000, '}');
    QTextDocument document;
    ASSERT_EQ(readRtf("{\\rtf1 before" + deep + "deep" + closing + "after}", document),
              std::nullopt);
    EXPECT_EQ(paragraphs(document), QStringList{QStringLiteral("beforeafter")});
    // Shallow enough nesting is read as usual.
    ASSERT_EQ(
        readRtf("{\\rtf1 " + QByteArray(200, '{') + "x" + QByteArray(200, '}') + "}", document),
        std::nullopt);
    EXPECT_EQ(paragraphs(document), QStringList{QStringLiteral("x")});
    ASSERT_EQ(readRtf("{\\rtf1 " + deep + "unclosed", document), std::nullopt);
    ASSERT_EQ(readRtf("{\\rtf1 x" + closing, document), std::nullopt);
    EXPECT_EQ(paragraphs(document), QStringList{QStringLiteral("x")});
}

TEST(RtfReaderLimits, LargeDocumentsReadWhole)
{
    QByteArray rtf = "{\\rtf1\\ansicpg936{\\colortbl;\\red255\\green0\\blue0;}";
    for (int i = 0; i < 20000; ++i)
        rtf += QByteArray("{\\b\\cf1 \\'d6\\'d0}{\\i x\\u20013?}") + (i % 4 == 3 ? "\\par " : "");
    rtf += "}";
    QTextDocument document;
    ASSERT_EQ(readRtf(rtf, document), std::nullopt);
    EXPECT_EQ(document.blockCount(), 5000);
    EXPECT_EQ(document.characterCount(), 20000 * 3 + 5000);
}

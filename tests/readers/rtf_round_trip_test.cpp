#include "common/rtf/rtf_reader.h"
#include "common/rtf/rtf_writer.h"

#include "rtf_test_support.h"

#include <QTextBlock>
#include <gtest/gtest.h>

using common::readRtf;
using common::writeRtf;
using namespace rtftest;

// The text editor saves through the writer and the board program reads
// through the reader: what the operator composed is what the board shows.
TEST(RtfRoundTrip, EditorDocumentReadsBackExactly)
{
    QTextDocument original;
    buildEditorDocument(original);
    const QByteArray rtf = writeRtf(original);
    QTextDocument copy;
    ASSERT_EQ(readRtf(rtf, copy), std::nullopt);
    EXPECT_EQ(describe(copy), describe(original));
    // The empty paragraph keeps its height.
    EXPECT_EQ(pixelSizeOf(copy.findBlockByNumber(2).charFormat()), 20);
    // Writing what was read gives the same file again.
    EXPECT_EQ(writeRtf(copy), rtf);
}

TEST(RtfRoundTrip, ReadSamplesSurviveWriting)
{
    for (const char *name : {"wordpad_gbk.rtf", "word_unicode.rtf", "colours_alignment.rtf"}) {
        QTextDocument first, second;
        ASSERT_EQ(readRtf(fixture(name), first), std::nullopt) << name;
        ASSERT_EQ(readRtf(writeRtf(first), second), std::nullopt) << name;
        EXPECT_EQ(describe(second), describe(first)) << name;
    }
}

// Indents, stops of every kind and the default distance are written back
// as they were read, from the page's left edge. Stops left of where the line
// starts, past the 64th, or only repeating the default ones are left out.
TEST(RtfRoundTrip, IndentsAndTabStopsReadBackExactly)
{
    QByteArray many;
    for (int i = 1; i <= 100; ++i)
        many += "\\tx" + QByteArray::number(i * 150);
    const QByteArray rtf = R"({\rtf1\deftab1000 \li1440\ri720\fi-720\tqr\tx4320\tx2880\tqc\tx3600)"
                           R"(\tqdec\tx5000\tx300 hanging\tab one\par)"
                           R"(\pard\li1500\tx2010 off the grid\par)"
                           R"(\pard\li-300\ri-150\fi45\tx1000 negative\par)"
                           R"(\pard\tx99999999\li-99999999 huge\par\pard)" +
                           many + " many}";
    QTextDocument first, second;
    ASSERT_EQ(readRtf(rtf, first), std::nullopt);
    const QByteArray written = writeRtf(first);
    ASSERT_EQ(readRtf(written, second), std::nullopt);
    EXPECT_EQ(describe(second), describe(first));
    EXPECT_EQ(writeRtf(second), written);

    // Laid out from where the first line starts, at 48, with the grid of
    // 67-pixel default stops after the last stop of its own.
    EXPECT_TRUE(describe(first)[1].startsWith(QStringLiteral(
        "paragraph aligned L indents 96 48 -48 tabs L48 L144 C192 R240 D285 L287 L354")));
    for (const char *part :
         {"\\deftab1005\r\n",
          "\\pard\\ql\\li1440\\ri720\\fi-720\\tx1440\\tx2880\\tqc\\tx3600\\tqr"
          "\\tx4320\\tqdec\\tx4995 \\plain",
          "\\pard\\ql\\li1500 \\plain", "\\pard\\ql\\li-300\\ri-150\\fi45\\tx1005 \\plain",
          "\\pard\\ql\\li-61440\\tx61440 \\plain", "\\tx9600 \\plain"})
        EXPECT_TRUE(written.contains(part)) << part;
    EXPECT_EQ(written.count("\\tx"), 5 + 1 + 1 + 64);
}

TEST(RtfRoundTrip, EmptyAndSingleEmptyParagraphDocuments)
{
    for (const QString &text : {QString(), QStringLiteral("\n"), QStringLiteral("x\n\n")}) {
        QTextDocument original(text), copy;
        ASSERT_EQ(readRtf(writeRtf(original), copy), std::nullopt);
        EXPECT_EQ(paragraphs(copy), paragraphs(original)) << text.size();
    }
}

// Known answers for the bytes other word processors read: the Chinese code
// page, GBK pairs, \uN for what GBK lacks, and a 7-bit clean file.
TEST(RtfWriter, WritesGbkPairsInChineseFontsAndUnicodeForTheRest)
{
    QTextDocument document;
    buildEditorDocument(document);
    const QByteArray rtf = writeRtf(document);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1"));
    for (const char *part :
         {"\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}", // 宋体
          "\\fcharset134 \\'ba\\'da\\'cc\\'e5;}", // 黑体
          "\\fcharset0 Arial;}",
          // DejaVu Sans carries Japanese and e acute as GBK pairs: Chinese charset.
          "\\fcharset134 DejaVu Sans;}",
          "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
          "\\red255\\green255\\blue0;\\red0\\green0\\blue255;}",
          "\\'bb\\'b6\\'d3\\'ad\\'b9\\'e2\\'c1\\'d9", // 欢迎光临
          // 한😀アé€: the euro sign is 0x80 in the Windows Chinese code page, not a pair.
          "\\u-10916?\\u-10179?\\u-8704?\\'a5\\'a2\\'a8\\'a6\\u8364?",
          "tab\\tab here\\line next\\~line \\\\ \\{braces\\} ;", "\\pard\\qc ", "\\pard\\qr ",
          "\\pard\\qj ",
          // 16 pixels are 12 pt at the desktop's 96 dpi, 12 pixels 9 pt.
          "\\fs24\\cf1\\b ", "\\fs18\\cf3 ", "\\fs20 default", "\\fs23\\cf2 ",
          "\\fs24\\cf1\\highlight2 \\'cc\\'d8\\'bc\\'db"})
        EXPECT_TRUE(rtf.contains(part)) << part;
    for (char c : rtf)
        ASSERT_LT(static_cast<uchar>(c), 0x80);
}

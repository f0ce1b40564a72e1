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
    ASSERT_TRUE(readRtf(rtf, copy));
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
        ASSERT_TRUE(readRtf(fixture(name), first)) << name;
        ASSERT_TRUE(readRtf(writeRtf(first), second)) << name;
        EXPECT_EQ(describe(second), describe(first)) << name;
    }
}

TEST(RtfRoundTrip, EmptyAndSingleEmptyParagraphDocuments)
{
    for (const QString &text : {QString(), QStringLiteral("\n"), QStringLiteral("x\n\n")}) {
        QTextDocument original(text), copy;
        ASSERT_TRUE(readRtf(writeRtf(original), copy));
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

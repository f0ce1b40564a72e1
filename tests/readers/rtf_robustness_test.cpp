#include "common/rtf/rtf_reader.h"

#include "rtf_test_support.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <random>

using common::readRtf;
using namespace rtftest;

// A text screen's file may be anything the operator picked: the reader must
// come back, quickly, whatever the bytes.

TEST(RtfRobustness, EveryTruncationOfTheSamples)
{
    for (const char *name : {"wordpad_gbk.rtf", "word_unicode.rtf", "colours_alignment.rtf"}) {
        const QByteArray sample = fixture(name);
        for (qsizetype length = 0; length <= sample.size(); ++length) {
            QTextDocument document;
            EXPECT_EQ(readRtf(sample.left(length), document), length >= 5) << name << length;
        }
    }
}

TEST(RtfRobustness, RandomBytesAndRandomTokens)
{
    static const char *const tokens[] = {
        "{",          "}",     "\\",          "\\'",    "\\'d6",      "\\'8",     "\\u",
        "\\u-",       "\\uc",  "\\bin",       "\\*",    "\\par",      "\\pard",   "\\fonttbl",
        "\\colortbl", "\\f",   "\\cf",        "\\fs",   "\\red",      ";",        "\\pict",
        "\\plain",    "\\b",   "\\qc",        "\\line", "\\~",        "-",        "0",
        "9",          "65535", "99999999999", " ",      "x",          "\xD6\xD0", "\xFF",
        "\x00",       "\r\n",  "\\ansicpg",   "936",    "\\fcharset", "134",
    };
    std::mt19937 random(20240611);
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = "{\\rtf1 ";
        if (round % 2) {
            for (int i = 0; i < 2000; ++i)
                bytes += static_cast<char>(random() & 0xFF);
        } else {
            for (int i = 0; i < 800; ++i) {
                const char *token = tokens[random() % std::size(tokens)];
                bytes += token[0] ? QByteArray(token) : QByteArray(1, '\0');
            }
        }
        QTextDocument document;
        ASSERT_TRUE(readRtf(bytes, document));
    }
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST(RtfRobustness, DeepNestingIsSkippedInLinearTime)
{
    const int depth = 100000;
    const QByteArray rtf =
        "{\\rtf1 before" + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + "after}";
    QElapsedTimer timer;
    timer.start();
    QTextDocument document;
    ASSERT_TRUE(readRtf(rtf, document));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(paragraphs(document), QStringList{QStringLiteral("beforeafter")});

    // Shallow enough nesting is read as usual.
    ASSERT_TRUE(
        readRtf("{\\rtf1 " + QByteArray(200, '{') + "x" + QByteArray(200, '}') + "}", document));
    EXPECT_EQ(paragraphs(document), QStringList{QStringLiteral("x")});

    ASSERT_TRUE(readRtf("{\\rtf1 " + QByteArray(depth, '{') + "unclosed", document));
    ASSERT_TRUE(readRtf("{\\rtf1 x" + QByteArray(depth, '}'), document));
    EXPECT_EQ(paragraphs(document), QStringList{QStringLiteral("x")});
}

TEST(RtfRobustness, LargeDocumentsReadInLinearTime)
{
    QByteArray rtf = "{\\rtf1\\ansicpg936{\\colortbl;\\red255\\green0\\blue0;}";
    for (int i = 0; i < 20000; ++i) {
        rtf += "{\\b\\cf1 \\'d6\\'d0}{\\i x\\u20013?}";
        if (i % 4 == 3)
            rtf += "\\par ";
    }
    rtf += "}";
    QElapsedTimer timer;
    timer.start();
    QTextDocument document;
    ASSERT_TRUE(readRtf(rtf, document));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(document.blockCount(), 5000);
    EXPECT_EQ(document.characterCount(), 20000 * 3 + 5000);
}

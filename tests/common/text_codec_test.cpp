#include "common/text_codec.h"
#include "common/toolkit_codec.h"

#include <gtest/gtest.h>

#include <optional>

using namespace common;

TEST(TextCodec, KeepsCharactersOutsideGbk)
{
    // U+20BB7 and U+00E9 (é) have no GBK form; GB18030 carries them both ways.
    const QString path = QStringLiteral("C:\\pic\\") + QString::fromUcs4(U"\U00020BB7\u00E9.bmp");
    const QByteArray bytes = encodeGbk(path);
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(decodeGbk(bytes), path);
}

TEST(TextCodec, ReadsPastBytesThatAreNoCharacter)
{
    EXPECT_EQ(decodeGbk(QByteArray("a\xFF") + 'b'), QStringLiteral("a\uFFFDb"));
    // A lead byte at the very end has no second half.
    EXPECT_EQ(decodeGbk(QByteArray("ab\xCF")), QStringLiteral("ab\uFFFD"));
    EXPECT_EQ(decodeGbk(QByteArray()), QString());
}

// Known answers where GB18030 writes other bytes or none.
TEST(TextCodec, CodePage936IsWindowsChineseCodePage)
{
    const std::pair<const char16_t *, QByteArray> cases[] = {
        {u"营业", "\xD3\xAA\xD2\xB5"}, {u"€5", "\x80\x35"}, {u"—～·", "\xA1\xAA\xA1\xAB\xA1\xA4"}};
    std::optional<char32_t> refused;
    for (const auto &[text, bytes] : cases) {
        EXPECT_EQ(encodeCodePage936(QString::fromUtf16(text), &refused), bytes);
        EXPECT_EQ(refused, std::nullopt);
        EXPECT_EQ(decodeCodePage936(bytes), QString::fromUtf16(text));
    }
    qsizetype bad = 0; // GB18030's euro sign is no character here
    EXPECT_EQ(decodeCodePage936("a\xA2\xE3", &bad), QStringLiteral("a\uFFFD\uFFFD"));
    EXPECT_EQ(bad, 2);

    const QString path = QStringLiteral("C:\\Bilder\\ä") + QString::fromUcs4(U"\U00020BB7") +
                         QStringLiteral("ö.bmp");
    EXPECT_EQ(encodeCodePage936(path, &refused), QByteArray("C:\\Bilder\\???.bmp"));
    EXPECT_EQ(refused, U'ä');
    EXPECT_EQ(outsideCodePage936(QStringLiteral("D:\\文字\\Café€.txt")), std::nullopt);
}

// A screen's .txt from the board's software is code page 936; one from a
// Linux editor is UTF-8. Short Chinese words are often valid UTF-8 as well.
TEST(TextCodec, PlainTextIsCodePage936UnlessPlainlyUtf8)
{
    const std::pair<QByteArray, const char16_t *> cases[] = {
        {"\xD3\xAA\xD2\xB5 9:00", u"营业 9:00"}, // UTF-8: Cyrillic
        {"\xCD\xA8\xD6\xAA", u"通知"},           // UTF-8: combining marks
        {"\xC3\xA9\xCC\xA8", u"茅台"},           // UTF-8: Latin
        {"\x80\x35", u"€5"},
        {"\xE4\xBA\xBA\xE4\xBA\xBA", u"人人"}, // also plain GB2312, of rare characters
        {"\xE4\xB8\xAD", u"中"},
        {"\xEF\xBB\xBF\xE9\x80\x9A\xE7\x9F\xA5", u"通知"},
        {"\xEF\xBB\xBF\xC3\xA9", u"é"},
        {"Caf\xC3\xA9 \xE8\x90\xA5\xE4\xB8\x9A", u"Café 营业"},
        {"\xC3\xA9", u"茅"}, // both readings plausible: code page 936 is never garbled
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(decodePlainText(bytes), QString::fromUtf16(text)) << bytes.toHex().constData();
}

// A word that starts with an accented letter in UTF-8 ("école") reads as a
// Chinese character before Latin letters in code page 936: a Latin word.
TEST(TextCodec, AnAccentedLetterBeforeLowerCaseLettersIsUtf8)
{
    const std::pair<QByteArray, const char16_t *> cases[] = {
        {"\xC3\xA9"
         "cole",
         u"école"},
        {"10 \xC3\xA9l\xC3\xA8ves", u"10 élèves"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(decodePlainText(bytes), QString::fromUtf16(text)) << bytes.toHex().constData();
}

// Where the C library lacks the code page, the toolkit's converters stand in
// and give the same bytes and characters.
TEST(TextCodec, TheToolkitStandsInWithTheSameBytes)
{
    const QString texts[] = {QStringLiteral("营业 €5 Café"), QStringLiteral("通知\r\n欢迎光临")};
    for (const QString &text : texts) {
        std::optional<char32_t> refused;
        std::optional<char32_t> refusedByToolkit;
        const QByteArray bytes = common::encodeCodePage936(text, &refused);
        EXPECT_EQ(common::encodeWithToolkit("CP936", text, &refusedByToolkit), bytes);
        EXPECT_EQ(refusedByToolkit, refused);
        qsizetype bad = -1;
        EXPECT_EQ(common::decodeWithToolkit("CP936", bytes, &bad),
                  common::decodeCodePage936(bytes));
        EXPECT_EQ(common::decodeWithToolkit("GB18030", common::encodeGbk(text), nullptr), text);
    }
}

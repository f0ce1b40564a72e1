#include "common/text_codec.h"

#include <gtest/gtest.h>

using namespace common;

TEST(TextCodec, WritesChineseInTheGbkCodePage)
{
    // 向右展开 in GBK
    EXPECT_EQ(encodeGbk(QStringLiteral("向右展开")), QByteArray("\xCF\xF2\xD3\xD2\xD5\xB9\xBF\xAA"));
    EXPECT_EQ(encodeGbk(QStringLiteral("[comm]\r\n")), QByteArray("[comm]\r\n"));
    EXPECT_EQ(decodeGbk(QByteArray("\xCF\xD4\xCA\xBE\xCD\xBC\xC6\xAC")), QStringLiteral("显示图片"));
}

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
    EXPECT_EQ(decodeGbk(QByteArray("a\xFF" "b")), QStringLiteral("a\uFFFDb"));
    // A lead byte at the very end has no second half.
    EXPECT_EQ(decodeGbk(QByteArray("ab\xCF")), QStringLiteral("ab\uFFFD"));
    EXPECT_EQ(decodeGbk(QByteArray()), QString());
}

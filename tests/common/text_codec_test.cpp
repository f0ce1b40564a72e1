#include "common/text_codec.h"

#include <gtest/gtest.h>

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

// Which encoding a plain-text screen is in. Short Chinese words in code page
// 936 are often valid UTF-8 too ("营业" is D3 AA D2 B5, two Cyrillic letters
// in UTF-8), so valid UTF-8 alone proves nothing; a file from the board's own
// software must never come out garbled. UTF-8 is taken only where code page
// 936 reads oddly and UTF-8 reads as ordinary Chinese or Latin text.

#include "text_codec.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <iterator>

namespace common {
namespace {

bool isLowerCaseLetter(char c)
{
    return c >= 'a' && c <= 'z';
}

// Whether the bytes read as code page 936 look like Chinese text. Everyday
// text keeps to GB2312's punctuation and full-width rows (A1-A3) and its
// Chinese characters (B0-F7); the GBK extension rows hold rare and
// traditional characters, rows A4-A9 kana, Greek, Cyrillic and box drawing.
// Among GB2312's characters those of rows D8-F7 are the rare ones: when they
// make up a third or more, the bytes are most likely UTF-8, whose three-byte
// Chinese characters start with E4-E9. A Chinese character against a
// lower-case Latin letter is a Latin word in UTF-8 ("Caf茅" is "Café"), and a
// lone euro byte is a UTF-8 continuation byte.
bool readsAsChinese(const QByteArray &bytes)
{
    int chinese = 0;
    int rare = 0;
    bool afterLetter = false;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<uchar>(bytes[i]);
        if (lead < 0x80) {
            afterLetter = isLowerCaseLetter(bytes[i]);
            ++i;
            continue;
        }
        if (lead == 0x80 || i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<uchar>(bytes[i + 1]);
        const bool punctuation = lead >= 0xA1 && lead <= 0xA3;
        const bool character = lead >= 0xB0 && lead <= 0xF7;
        if (!(punctuation || character) || trail < 0xA1 || trail == 0xFF)
            return false;
        i += 2;
        if (afterLetter || (i < bytes.size() && isLowerCaseLetter(bytes[i])))
            return false;
        chinese += character ? 1 : 0;
        rare += lead >= 0xD8 ? 1 : 0;
    }
    return rare == 0 || rare * 3 < chinese;
}

// Characters of Chinese and Western notices: ASCII, Latin letters with their
// accents, the symbols such texts use, CJK punctuation and characters, and
// full-width forms.
bool isChineseOrLatin(char32_t c)
{
    struct Range
    {
        char32_t first, last;
    };
    static constexpr Range kRanges[] = {
        {0x0000, 0x007F}, // ASCII
        {0x00A0, 0x024F}, // Latin-1 signs and letters, Latin extended A and B
        {0x2010, 0x205E}, // dashes, quotes, ellipsis, per mille, reference mark
        {0x20AC, 0x20AC}, // euro sign
        {0x2100, 0x21FF}, // degrees Celsius, numero, Roman numerals, arrows
        {0x2460, 0x26FF}, // circled numbers, box drawing, shapes, stars
        {0x3000, 0x303F}, // CJK punctuation
        {0x3400, 0x4DBF}, // CJK characters, extension A
        {0x4E00, 0x9FFF}, // CJK characters
        {0xFF00, 0xFFEF}, // full-width forms
    };
    return std::any_of(std::begin(kRanges), std::end(kRanges),
                       [c](const Range &r) { return c >= r.first && c <= r.last; });
}

bool isPlainChineseOrLatin(const QString &text)
{
    const QList<uint> characters = text.toUcs4();
    return std::all_of(characters.begin(), characters.end(),
                       [](uint c) { return isChineseOrLatin(c); });
}

} // namespace

QString decodePlainText(const QByteArray &bytes)
{
    static const QByteArray kByteOrderMark("\xEF\xBB\xBF");
    if (bytes.startsWith(kByteOrderMark))
        return QString::fromUtf8(bytes.sliced(kByteOrderMark.size()));

    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (utf8.hasError())
        return decodeCodePage936(bytes);
    qsizetype badBytes = 0;
    const QString asCodePage936 = decodeCodePage936(bytes, &badBytes);
    if (badBytes > 0)
        return asUtf8;
    if (!readsAsChinese(bytes) && isPlainChineseOrLatin(asUtf8))
        return asUtf8;
    return asCodePage936;
}

} // namespace common

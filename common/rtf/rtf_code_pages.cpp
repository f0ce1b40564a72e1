#include "rtf_code_pages.h"

#include "common/text_codec.h"

namespace common::rtf {

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
    case 2: // symbol fonts: their glyphs sit at the ANSI byte positions
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return kChineseCodePage;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

namespace {

QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 932:
        return "Shift_JIS";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

// Windows writes the euro sign as the single byte 0x80 in the Chinese code
// page, where GB18030 has no single-byte character; a trail byte 0x80 of a
// two-byte character is left to the codec.
QString decodeChinese(const QByteArray &bytes)
{
    if (!bytes.contains('\x80'))
        return decodeGbk(bytes);
    QString text;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<uchar>(bytes[i]);
        if (b == 0x80) {
            text += decodeGbk(bytes.sliced(start, i - start));
            text += QChar(0x20AC);
            start = ++i;
        } else if (b > 0x80 && i + 1 < bytes.size()) {
            const auto next = static_cast<uchar>(bytes[i + 1]);
            i += (next >= '0' && next <= '9') ? 4 : 2;
        } else {
            ++i;
        }
    }
    if (start < bytes.size())
        text += decodeGbk(bytes.sliced(start));
    return text;
}

} // namespace

QString CodePageDecoder::decode(int codePage, const QByteArray &bytes)
{
    if (codePage == kChineseCodePage || codePage == 54936)
        return decodeChinese(bytes);
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end())
        it = m_decoders
                 .emplace(codePage, QStringDecoder(codecName(codePage).constData(),
                                                   QStringConverter::Flag::Stateless))
                 .first;
    if (!it->second.isValid())
        return QString::fromLatin1(bytes);
    return it->second.decode(bytes);
}

} // namespace common::rtf

#include "text_codec.h"

#include "toolkit_codec.h"

#include <QList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace common {
namespace {

// glibc's table is the one Windows publishes for code page 936, the euro
// sign at byte 80 included. The user-defined rows, which hold no agreed
// characters, read as bad bytes; GB18030 has no byte 80 and writes the euro
// sign as A2 E3, which code page 936 readers do not know.
constexpr const char *kCodePage936 = "CP936";
constexpr const char *kGb18030 = "GB18030";

constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

struct IconvCloser
{
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// An empty converter when the C library lacks the code page (its gconv
// modules are not installed); the toolkit's own converter stands in then.
Converter openConverter(const char *to, const char *from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return Converter();
    return Converter(cd);
}

// Runs the whole input through iconv. On an invalid or incomplete sequence
// `onBadInput` is given the output so far and the rest of the input, appends
// what stands instead and tells how many bytes to skip.
template <typename OnBadInput>
QByteArray convert(iconv_t cd, const QByteArray &input, OnBadInput onBadInput)
{
    QByteArray output;
    output.reserve(input.size() * 2 + 16);
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<qsizetype>(out - buffer));
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: the input at `in` starts no valid character.
        const size_t skip = std::max<size_t>(1, onBadInput(output, in, inLeft));
        in += std::min(skip, inLeft);
        inLeft -= std::min(skip, inLeft);
    }
    char *out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, static_cast<qsizetype>(out - buffer));
    return output;
}

// The length of the UTF-8 sequence that starts with `lead`; Qt writes only
// valid sequences.
size_t utf8SequenceLength(uchar lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

QString decode(const char *codePage, const QByteArray &bytes, qsizetype *badBytes)
{
    const Converter cd = openConverter("UTF-8", codePage);
    if (!cd)
        return decodeWithToolkit(codePage, bytes, badBytes);
    qsizetype bad = 0;
    const QByteArray utf8 = convert(cd.get(), bytes, [&bad](QByteArray &out, const char *, size_t) {
        out.append(kReplacementCharacter);
        ++bad;
        return size_t(1);
    });
    if (badBytes)
        *badBytes = bad;
    return QString::fromUtf8(utf8);
}

} // namespace

QByteArray encodeCodePage936(const QString &text, std::optional<char32_t> *refused)
{
    const Converter cd = openConverter(kCodePage936, "UTF-8");
    if (refused)
        refused->reset();
    if (!cd)
        return encodeWithToolkit(kCodePage936, text, refused);
    return convert(
        cd.get(), text.toUtf8(), [refused](QByteArray &out, const char *at, size_t left) {
            const size_t length = std::min(utf8SequenceLength(static_cast<uchar>(*at)), left);
            if (refused && !*refused)
                *refused = QString::fromUtf8(at, static_cast<qsizetype>(length)).toUcs4().value(0);
            out.append('?');
            return length;
        });
}

std::optional<char32_t> outsideCodePage936(const QString &text)
{
    // Most texts are ASCII, which the code page holds; a file of many screens
    // need not open a converter per field.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return std::nullopt;
    std::optional<char32_t> refused;
    encodeCodePage936(text, &refused);
    return refused;
}

QString namedCharacter(char32_t character)
{
    const QString code =
        QString::number(static_cast<uint>(character), 16).toUpper().rightJustified(4, u'0');
    return QStringLiteral("“%1” (U+%2)").arg(QString::fromUcs4(&character, 1), code);
}

QString decodeCodePage936(const QByteArray &bytes, qsizetype *badBytes)
{
    return decode(kCodePage936, bytes, badBytes);
}

QByteArray encodeGbk(const QString &text)
{
    const Converter cd = openConverter(kGb18030, "UTF-8");
    if (!cd)
        return encodeWithToolkit(kGb18030, text, nullptr);
    // Lone surrogates cannot occur in UTF-8 produced by Qt (they become U+FFFD),
    // so every input character has a GB18030 form; the fallback only guards iconv.
    return convert(cd.get(), text.toUtf8(), [](QByteArray &out, const char *, size_t) {
        out.append('?');
        return size_t(1);
    });
}

QString decodeGbk(const QByteArray &bytes)
{
    return decode(kGb18030, bytes, nullptr);
}

} // namespace common

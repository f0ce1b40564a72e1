#include "text_codec.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace common {
namespace {

constexpr const char *kCodePage = "GB18030";

struct IconvCloser
{
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Converter openConverter(const char *to, const char *from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    return Converter(cd);
}

// Runs the whole input through iconv. On an invalid or incomplete sequence
// `onBadInput` is told how many bytes to skip and what to append instead.
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
        // EILSEQ or EINVAL: a byte that starts no valid character.
        const size_t skip = onBadInput(output);
        in += skip;
        inLeft -= std::min(skip, inLeft);
    }
    char *out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, static_cast<qsizetype>(out - buffer));
    return output;
}

} // namespace

QByteArray encodeGbk(const QString &text)
{
    const Converter cd = openConverter(kCodePage, "UTF-8");
    // Lone surrogates cannot occur in UTF-8 produced by Qt (they become U+FFFD),
    // so every input character has a GB18030 form; the fallback only guards iconv.
    return convert(cd.get(), text.toUtf8(), [](QByteArray &out) -> size_t {
        out.append('?');
        return 1;
    });
}

QString decodeGbk(const QByteArray &bytes)
{
    const Converter cd = openConverter("UTF-8", kCodePage);
    const QByteArray utf8 = convert(cd.get(), bytes, [](QByteArray &out) -> size_t {
        out.append("\xEF\xBF\xBD");
        return 1;
    });
    return QString::fromUtf8(utf8);
}

} // namespace common

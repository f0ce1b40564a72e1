#include "numbers.h"

#include <cmath>
#include <limits>

namespace common {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

struct Scan
{
    double value = 0;
    qsizetype end = 0; // index after the last character that belonged to the number
    bool hasDigits = false;
};

// Reads leading blanks, an optional sign, digits and a fractional part. The
// lenient reading of numbers also skips blanks between the digits.
enum class InnerBlanks { Skip, End };

Scan scanNumber(QStringView text, InnerBlanks innerBlanks)
{
    Scan scan;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    double whole = 0;
    double fraction = 0;
    double scale = 1;
    bool afterPoint = false;
    scan.end = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isBlank(c) && innerBlanks == InnerBlanks::Skip)
            continue;
        if (isDigit(c)) {
            const int digit = c.unicode() - u'0';
            if (afterPoint) {
                scale /= 10;
                fraction += digit * scale;
            } else {
                whole = whole * 10 + digit;
            }
            scan.hasDigits = true;
            scan.end = i + 1;
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
            scan.end = i + 1;
        } else {
            break;
        }
    }
    scan.value = negative ? -(whole + fraction) : whole + fraction;
    return scan;
}

} // namespace

double leadingNumber(QStringView text)
{
    const Scan scan = scanNumber(text, InnerBlanks::Skip);
    return scan.hasDigits ? scan.value : 0.0;
}

std::int64_t roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    // nearbyint rounds ties to even in the default rounding mode.
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::optional<std::int64_t> asInteger(QStringView text)
{
    const Scan scan = scanNumber(text, InnerBlanks::End);
    if (!scan.hasDigits)
        return std::nullopt;
    for (qsizetype i = scan.end; i < text.size(); ++i) {
        if (!isBlank(text[i]))
            return std::nullopt;
    }
    return roundHalfEven(scan.value);
}

QString signPosition(double value)
{
    QString digits;
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        digits = QString::number(static_cast<std::int64_t>(std::fabs(value)));
    else
        digits = QString::number(std::fabs(value), 'g', 15);
    return (value < 0 ? u'-' : u' ') + digits;
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace common

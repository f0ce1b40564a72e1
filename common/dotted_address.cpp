#include "dotted_address.h"

#include <QRegularExpression>

namespace common {

bool isDottedQuad(const QString &text)
{
    static const QRegularExpression dotted(QStringLiteral(
        "^(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)(\\.(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)){3}$"));
    return dotted.match(text).hasMatch();
}

QString canonicalDottedQuad(const QString &text)
{
    static const QRegularExpression padded(
        QStringLiteral("^ *([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3}) *$"));
    const QRegularExpressionMatch match = padded.match(text);
    if (!match.hasMatch())
        return text;
    QStringList octets;
    for (int i = 1; i <= 4; ++i) {
        const int octet = match.capturedView(i).toInt();
        if (octet > 255)
            return text;
        octets.append(QString::number(octet));
    }
    return octets.join(u'.');
}

} // namespace common

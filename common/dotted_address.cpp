#include "dotted_address.h"

#include <QRegularExpression>

namespace common {

bool isDottedQuad(const QString &text)
{
    static const QRegularExpression dotted(QStringLiteral(
        "^(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)(\\.(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)){3}$"));
    return dotted.match(text).hasMatch();
}

} // namespace common

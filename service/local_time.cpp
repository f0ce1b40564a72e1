#include "local_time.h"

#include <cstdlib>

namespace pravikd {

QString localTimeText(const QDateTime &instant, const QTimeZone &zone)
{
    if (!instant.isValid())
        return QStringLiteral("-");
    const QDateTime local = instant.toTimeZone(zone);
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
           QStringLiteral("%1%2:%3")
               .arg(offset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace pravikd

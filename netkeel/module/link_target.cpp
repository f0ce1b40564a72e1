#include "link_target.h"

#include "common/serial_port_names.h"

#include <QRegularExpression>

namespace netkeel {
namespace {

// The COM number named by a text, or 0.
int comNumber(const QString &text)
{
    static const QRegularExpression name(QStringLiteral("^COM(\\d{1,2})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = name.match(text.trimmed());
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

LinkTarget linkForListText(const QString &text)
{
    return LinkTarget{text, common::serialDeviceForPort(comNumber(text))};
}

LinkTarget linkForPortArgument(const QString &argument)
{
    if (const int number = comNumber(argument); number != 0)
        return LinkTarget{argument, common::serialDeviceForPort(number)};
    if (argument.startsWith(u'/'))
        return LinkTarget{argument, argument};
    return LinkTarget{argument, QString()};
}

} // namespace netkeel

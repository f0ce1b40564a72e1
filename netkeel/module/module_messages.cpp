#include "module_messages.h"

#include "link_target.h"

namespace netkeel {
namespace {

QString portLabel(const LinkTarget &link)
{
    if (link.name == link.device)
        return link.device;
    return QStringLiteral("%1 (%2)").arg(link.name, link.device);
}

} // namespace

QString noSerialPortText(const LinkTarget &link)
{
    return QStringLiteral("通讯口 %1 不是串口，网络模块只能通过串口设置。请选择 COM1 至 COM8。")
        .arg(link.name);
}

QString openFailedText(const LinkTarget &link, const QString &reason)
{
    return QStringLiteral("串口 %1 打不开：%2").arg(portLabel(link), reason);
}

QString portFailedText(const LinkTarget &link, const QString &reason)
{
    return QStringLiteral("串口 %1 操作失败：%2").arg(portLabel(link), reason);
}

} // namespace netkeel

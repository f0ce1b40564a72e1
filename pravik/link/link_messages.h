#pragma once

#include "transport.h"

#include <QString>

namespace common {
class Prompter;
}

namespace pravik::link {

inline const QString kDeviceUnavailableText = QStringLiteral("当前串口操作失败，请重新设置!");
inline const QString kComErrorTitle = QStringLiteral(" COM Error");
inline const QString kSystemErrorTitle = QStringLiteral("系统错误");
inline const QString kBadSettingsText = QStringLiteral("INI File Error");
// %1: the board's UDP port, which another program on this computer holds.
inline const QString kUdpPortInUseText =
    QStringLiteral("UDP 端口 %1 已被另一个程序占用，请先关闭它");

// Tells the operator about a failed port or socket operation: an unavailable
// device asks to set the port up again, anything else shows its own
// description under "系统错误".
void reportLinkFailure(common::Prompter &prompter, const LinkFailure &failure);

} // namespace pravik::link

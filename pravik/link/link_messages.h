#pragma once

#include "common/failure.h"

#include <QString>

namespace pravik::link {

inline const QString kDeviceUnavailableText = QStringLiteral("当前串口操作失败，请重新设置!");
inline const QString kComErrorTitle = QStringLiteral(" COM Error");
inline const QString kSystemErrorTitle = QStringLiteral("系统错误");
inline const QString kBadSettingsText = QStringLiteral("INI File Error");
// %1: the board's UDP port, which another program on this computer holds.
inline const QString kUdpPortInUseText =
    QStringLiteral("UDP 端口 %1 已被另一个程序占用，请先关闭它");

// The failures of the port or socket, each the exchange's result 5. The
// operator is asked to set the port up again when the device is gone (an
// unplugged adapter); anything else shows its own description under "系统错误".
common::Failure deviceUnavailable();
common::Failure badLinkSettings();
common::Failure linkFailure(const QString &description);

} // namespace pravik::link

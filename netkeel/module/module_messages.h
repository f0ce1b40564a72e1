#pragma once

#include <QString>

namespace netkeel {

struct LinkTarget;

// A setting the module did not confirm, or a read answer that did not fit.
inline const QString kFailedText = QStringLiteral("设置失败");
inline const QString kFailedTitle = QStringLiteral("错误");

// The log line of a command that got no answer at all.
inline const QString kNoRespond = QStringLiteral("Error! No respond");

// The module is only reached over a serial port: "EtherNet" (or any other
// text in the link list that names no COM port) has nothing to open.
QString noSerialPortText(const LinkTarget &link);
QString openFailedText(const LinkTarget &link, const QString &reason);
QString portFailedText(const LinkTarget &link, const QString &reason);

} // namespace netkeel

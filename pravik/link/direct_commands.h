#pragma once

#include "board_commands.h"

#include "common/failure.h"

namespace pravik::link {

class BoardLink;

inline const QString kSentText = QStringLiteral("发送成功");
inline const QString kSetUpPortText = QStringLiteral("请设置通讯端口");

// The commands the operator sends straight to the board. Each ends with the
// notice of its success ("发送成功"), or with its failure: refused before
// anything was sent (code 2, the reason for the operator), or the exchange's.
using CommandResult = common::Expected<common::Message>;

// Sets the board's clock from the computer's date and time.
CommandResult sendClockFromComputer(BoardLink &link);

// Sets the board's clock from the settings dialog's clock fields.
CommandResult sendClockFromFields(BoardLink &link, const ClockFields &fields);

// Tells the board which screens to show: `count` screens from `start` (texts
// of the dialog's fields, read as numbers).
CommandResult sendDisplayRange(BoardLink &link, const QString &start, const QString &count);

} // namespace pravik::link

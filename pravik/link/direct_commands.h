#pragma once

#include "board_commands.h"
#include "exchange.h"

#include <optional>

namespace pravik::link {

class BoardLink;

inline const QString kSentText = QStringLiteral("发送成功");
inline const QString kSetUpPortText = QStringLiteral("请设置通讯端口");

// The commands the operator sends straight to the board. Each reports success
// with "发送成功"; a failed exchange has already told its own story. Nothing
// (no result) means the command was refused before anything was sent, and the
// operator was told why.

// Sets the board's clock from the computer's date and time.
std::optional<ExchangeResult> sendClockFromComputer(BoardLink &link);

// Sets the board's clock from the settings dialog's clock fields.
std::optional<ExchangeResult> sendClockFromFields(BoardLink &link, const ClockFields &fields);

// Tells the board which screens to show: `count` screens from `start` (texts
// of the dialog's fields, read as numbers).
std::optional<ExchangeResult> sendDisplayRange(BoardLink &link, const QString &start,
                                               const QString &count);

} // namespace pravik::link

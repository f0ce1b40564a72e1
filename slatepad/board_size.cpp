#include "board_size.h"

#include "common/numbers.h"

#include <cmath>

namespace slatepad {
namespace {

bool isNumber(const QString &argument)
{
    const QString trimmed = argument.trimmed();
    return !trimmed.isEmpty() && (trimmed.front().isDigit() || trimmed.front() == QLatin1Char('-') ||
                                  trimmed.front() == QLatin1Char('+'));
}

int sideOrDefault(const QString &argument, int fallback)
{
    const double value = std::round(common::leadingNumber(argument));
    if (value < 1 || value > kMaxSide)
        return fallback;
    return static_cast<int>(value);
}

} // namespace

StartRequest parseStartArguments(const QStringList &arguments)
{
    StartRequest request;
    int next = 0;
    if (next < arguments.size() && isNumber(arguments.at(next)))
        request.board.setWidth(sideOrDefault(arguments.at(next++), kDefaultWidth));
    if (next < arguments.size() && isNumber(arguments.at(next)))
        request.board.setHeight(sideOrDefault(arguments.at(next++), kDefaultHeight));
    if (next < arguments.size())
        request.file = arguments.at(next);
    return request;
}

} // namespace slatepad

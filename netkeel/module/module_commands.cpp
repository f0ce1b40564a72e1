#include "module_commands.h"

namespace netkeel {

QByteArray commandLine(QStringView code, QStringView argument)
{
    return code.toLatin1() + argument.toLatin1() + kLineEnd;
}

int baudCodeForRate(int rate)
{
    for (std::size_t code = 0; code < kBaudRates.size(); ++code) {
        if (kBaudRates[code] == rate)
            return static_cast<int>(code);
    }
    return -1;
}

std::optional<int> baudRateForCode(int code)
{
    if (code < 0 || code >= static_cast<int>(kBaudRates.size()))
        return std::nullopt;
    return kBaudRates[static_cast<std::size_t>(code)];
}

} // namespace netkeel

#include "link_choices.h"

#include "common/serial_port_names.h"

#include <QRegularExpression>
#include <cmath>

namespace pravik::settings {
namespace {

constexpr int kMostListedPorts = 16;
constexpr int kDefaultBaudIndex = 4;

} // namespace

LinkChoices linkChoices(const std::optional<QList<int>> &comNumbers, std::int16_t &storedPort)
{
    LinkChoices choices;
    choices.entries << kEthernetEntry;
    if (!comNumbers) {
        for (int number = 1; number <= kFixedComPorts; ++number)
            choices.entries << common::comPortName(number);
        if (storedPort > kFixedComPorts)
            storedPort = kFallbackComPort;
        choices.selected = storedPort; // the list index is the port number
        return choices;
    }
    for (int i = 0; i < comNumbers->size() && i < kMostListedPorts; ++i) {
        const int number = comNumbers->at(i);
        choices.entries << common::comPortName(number);
        if (number == storedPort)
            choices.selected = i + 1;
    }
    if (storedPort == 0) {
        choices.selected = 0;
    } else if (choices.selected < 0) {
        if (choices.entries.size() == 1)
            choices.entries << common::comPortName(storedPort);
        choices.selected = 1;
    }
    return choices;
}

std::optional<int> portForLinkText(const QString &text)
{
    if (text == kEthernetEntry)
        return 0;
    static const QRegularExpression comName(QStringLiteral("^COM(\\d{1,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int number = match.captured(1).toInt();
    if (number < common::kFirstComPort || number > common::kLastComPort)
        return std::nullopt;
    return number;
}

QStringList baudList()
{
    return {QStringLiteral("4800"),  QStringLiteral("9600"),  QStringLiteral("14400"),
            QStringLiteral("19200"), QStringLiteral("28800"), QStringLiteral("38400"),
            QStringLiteral("57600"), QStringLiteral("115200")};
}

int baudIndex(double baud)
{
    // Whole-number formatting rounds a half away from zero.
    const QString shown =
        std::isfinite(baud) ? QString::number(std::round(baud), 'f', 0) : QString();
    const int index = static_cast<int>(baudList().indexOf(shown));
    return index >= 0 ? index : kDefaultBaudIndex;
}

} // namespace pravik::settings

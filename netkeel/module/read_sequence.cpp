// The read sequence ("读取配置"): nine read commands on one opening of the
// serial port, each answer checked for its prefix and put into its field.

#include "module_protocol.h"

#include "module_commands.h"
#include "module_log.h"
#include "module_messages.h"
#include "module_port.h"

#include "common/numbers.h"
#include "common/prompter.h"

#include <algorithm>

namespace netkeel {
namespace {

enum class PauseLength { Short, Long };

struct ReadStep
{
    const char16_t *code;
    int threshold;
    PauseLength pause;
    // Puts the value into its field; false when the field cannot take it.
    bool (*take)(ModuleReading &reading, const QString &value);
};

// The value without the line end that closes the module's answer.
QString withoutLineEnd(QString value)
{
    while (value.endsWith(u'\r') || value.endsWith(u'\n'))
        value.chop(1);
    return value;
}

std::int64_t integerOf(const QString &value)
{
    return common::roundHalfEven(common::leadingNumber(value));
}

template <std::optional<QString> ModuleReading::*field>
bool takeText(ModuleReading &reading, const QString &value)
{
    reading.*field = withoutLineEnd(value);
    return true;
}

bool takeMultiChannel(ModuleReading &reading, const QString &value)
{
    const std::int64_t state = integerOf(value);
    if (state != 0 && state != 1)
        return false; // a check box has no third state
    reading.multiChannel = static_cast<int>(state);
    return true;
}

bool takeBaudCode(ModuleReading &reading, const QString &value)
{
    const std::int64_t code = integerOf(value);
    if (!baudRateForCode(static_cast<int>(std::clamp<std::int64_t>(code, -1, 99))))
        return false; // no entry of the baud list to select
    reading.baudCode = static_cast<int>(code);
    return true;
}

// In the module's order. The destination port comes after the module port,
// whose value it first takes over.
constexpr ReadStep kSteps[] = {
    {u"rm", 5, PauseLength::Short, takeMultiChannel},
    {u"ma", 16, PauseLength::Long, takeText<&ModuleReading::mac>},
    {u"br", 5, PauseLength::Short, takeBaudCode},
    {u"ip", 11, PauseLength::Long, takeText<&ModuleReading::moduleIp>},
    {u"di", 11, PauseLength::Long, takeText<&ModuleReading::replyIp>},
    {u"pn", 4, PauseLength::Long, takeText<&ModuleReading::modulePort>},
    {u"dp", 4, PauseLength::Long, takeText<&ModuleReading::destPort>},
    {u"gi", 11, PauseLength::Long, takeText<&ModuleReading::gateway>},
    {u"nm", 11, PauseLength::Long, takeText<&ModuleReading::netMask>},
};

} // namespace

ModuleReading ModuleProtocol::readSettings(const LinkTarget &link)
{
    ModuleReading reading;
    if (!ensureOpen(link))
        return reading;
    bool allTaken = true;
    for (const ReadStep &step : kSteps) {
        const QString code = QString::fromUtf16(step.code);
        const int pauseMs =
            step.pause == PauseLength::Short ? m_timing.shortPauseMs : m_timing.pauseMs;
        const ExchangeStatus status =
            run(commandLine(QStringLiteral("r") + code), step.threshold, pauseMs);
        if (status == ExchangeStatus::PortFailed) {
            portFailed(link);
            return reading;
        }
        if (status == ExchangeStatus::TimedOut) {
            tellFailed();
            allTaken = false;
            if (m_port.bytesAvailable() > 0) {
                logAnswer();
                continue;
            }
            // A module that says nothing at all is not there: the sequence
            // ends here, and the port stays open.
            logNoRespond();
            return reading;
        }
        const QString answer = QString::fromLatin1(m_port.readAll());
        m_log.append(answer + QLatin1String(kLineEnd));
        const QString prefix = QStringLiteral("L") + code;
        if (!answer.startsWith(prefix) || !step.take(reading, answer.mid(prefix.size()))) {
            tellFailed();
            allTaken = false;
        }
    }
    closePort();
    reading.complete = allTaken;
    return reading;
}

} // namespace netkeel

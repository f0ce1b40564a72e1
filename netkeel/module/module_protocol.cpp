#include "module_protocol.h"

#include "module_commands.h"
#include "module_log.h"
#include "module_messages.h"
#include "module_port.h"

#include "common/prompter.h"

namespace netkeel {
namespace {

enum class TimeOutReaction { LogOnly, MessageAndLog };

struct WriteCommand
{
    const char16_t *code;
    int threshold;
    TimeOutReaction onTimeOut;
};

// The answer to a write is only logged; the thresholds are the module's
// answer lengths less one.
WriteCommand writeCommand(WriteSetting setting)
{
    using enum TimeOutReaction;
    switch (setting) {
    case WriteSetting::MultiChannel:
        return {u"Wrm", 5, LogOnly};
    case WriteSetting::Store:
        return {u"Wfs", 6, LogOnly};
    case WriteSetting::Baud:
        return {u"Wbr", 4, LogOnly};
    case WriteSetting::NetMask:
        return {u"Wnm", 11, MessageAndLog};
    case WriteSetting::Gateway:
        return {u"Wgi", 11, MessageAndLog};
    case WriteSetting::ModuleIp:
        return {u"Wip", 11, MessageAndLog};
    case WriteSetting::ReplyIp:
        return {u"Wdi", 11, MessageAndLog};
    case WriteSetting::Mac:
        return {u"Wma", 16, MessageAndLog};
    case WriteSetting::ModulePort:
        return {u"Wpn", 5, MessageAndLog};
    case WriteSetting::DestPort:
        return {u"Wdp", 5, MessageAndLog};
    }
    return {u"", 0, LogOnly};
}

} // namespace

ModuleProtocol::ModuleProtocol(ModulePort &port, common::Prompter &prompter, ModuleLog &log,
                               const ModuleTiming &timing)
    : m_port(port), m_prompter(prompter), m_log(log), m_timing(timing)
{
}

bool ModuleProtocol::ensureOpen(const LinkTarget &link)
{
    if (!link.isSerial()) {
        m_prompter.tell(noSerialPortText(link), kFailedTitle, common::MessageIcon::Error);
        return false;
    }
    if (m_port.isOpen() && m_openDevice == link.device)
        return true;
    // Left open on another port by an earlier command: the operator has
    // switched the link since, and the command belongs on the new one.
    closePort();
    if (!m_port.open(link.device)) {
        m_prompter.tell(openFailedText(link, m_port.errorString()), kFailedTitle,
                        common::MessageIcon::Error);
        return false;
    }
    m_openDevice = link.device;
    return true;
}

void ModuleProtocol::closePort()
{
    if (m_port.isOpen())
        m_port.close();
    m_openDevice.clear();
}

void ModuleProtocol::portFailed(const LinkTarget &link)
{
    m_prompter.tell(portFailedText(link, m_port.errorString()), kFailedTitle,
                    common::MessageIcon::Error);
    closePort();
}

ExchangeStatus ModuleProtocol::run(const QByteArray &line, int threshold, int pauseMs)
{
    return exchange(m_port, line, threshold, ExchangeTimes{m_timing.waitMs, pauseMs});
}

void ModuleProtocol::logAnswer()
{
    m_log.append(QString::fromLatin1(m_port.readAll()) + QLatin1String(kLineEnd));
}

void ModuleProtocol::logNoRespond()
{
    m_log.append(kNoRespond + QLatin1String(kLineEnd));
}

void ModuleProtocol::tellFailed()
{
    m_prompter.tell(kFailedText, kFailedTitle, common::MessageIcon::None);
}

WriteResult ModuleProtocol::writeOne(const LinkTarget &link, WriteSetting setting,
                                     const QString &value)
{
    if (!ensureOpen(link))
        return WriteResult::PortUnusable;
    const WriteCommand command = writeCommand(setting);
    switch (run(commandLine(command.code, value), command.threshold, m_timing.pauseMs)) {
    case ExchangeStatus::PortFailed:
        portFailed(link);
        return WriteResult::PortUnusable;
    case ExchangeStatus::Answered:
        logAnswer();
        return WriteResult::Answered;
    case ExchangeStatus::TimedOut:
        break;
    }
    if (command.onTimeOut == TimeOutReaction::LogOnly) {
        logNoRespond();
        return WriteResult::TimedOut;
    }
    tellFailed();
    if (m_port.bytesAvailable() > 0)
        logAnswer();
    else
        logNoRespond();
    return WriteResult::TimedOut;
}

WriteResult ModuleProtocol::write(const LinkTarget &link, WriteSetting setting,
                                  const QString &value)
{
    const WriteResult result = writeOne(link, setting, value);
    closePort();
    return result;
}

WriteResult ModuleProtocol::writePorts(const LinkTarget &link, const QString &modulePort,
                                       const QString &destPort)
{
    const WriteResult first = writeOne(link, WriteSetting::ModulePort, modulePort);
    if (first == WriteResult::PortUnusable)
        return first;
    const WriteResult second = writeOne(link, WriteSetting::DestPort, destPort);
    return second == WriteResult::Answered ? first : second;
}

} // namespace netkeel

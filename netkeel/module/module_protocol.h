#pragma once

#include "exchange.h"
#include "link_target.h"
#include "module_reading.h"
#include "module_timing.h"

namespace common {
class Prompter;
}

namespace netkeel {

class ModuleLog;
class ModulePort;

// The settings written with one command each ("W" + code + value).
enum class WriteSetting {
    MultiChannel, // "Wrm", "0" or "1"
    Store,        // "Wfs", no value
    Baud,         // "Wbr", the baud code
    NetMask,      // "Wnm"
    Gateway,      // "Wgi"
    ModuleIp,     // "Wip"
    ReplyIp,      // "Wdi"
    Mac,          // "Wma"
    ModulePort,   // "Wpn"
    DestPort,     // "Wdp"
};

enum class WriteResult {
    Answered,     // the module answered every command in time
    TimedOut,     // some command got no answer in time (told and logged)
    PortUnusable, // no serial port, or it could not be opened or failed (told)
};

// The module's configuration commands over the serial port. Every answer goes
// to the log; failures are told through the Prompter where they arise.
//
// The port is opened on demand and closed after each write and after a whole
// read sequence, so each command starts with an empty receive buffer. After
// the two port commands, and when a read sequence ends on silence, it stays
// open and the next command uses it as it is, late answers included.
class ModuleProtocol
{
public:
    ModuleProtocol(ModulePort &port, common::Prompter &prompter, ModuleLog &log,
                   const ModuleTiming &timing = {});

    void setTiming(const ModuleTiming &timing) { m_timing = timing; }
    const ModuleTiming &timing() const { return m_timing; }

    // One write command, then the port is closed. The value is sent exactly
    // as given.
    WriteResult write(const LinkTarget &link, WriteSetting setting, const QString &value);

    // "Wpn" with the module port, then "Wdp" with the destination port, the
    // second also when the first timed out. The port stays open.
    WriteResult writePorts(const LinkTarget &link, const QString &modulePort,
                           const QString &destPort);

    // The nine read steps on one opening of the port.
    ModuleReading readSettings(const LinkTarget &link);

private:
    WriteResult writeOne(const LinkTarget &link, WriteSetting setting, const QString &value);
    bool ensureOpen(const LinkTarget &link);
    void closePort();
    void portFailed(const LinkTarget &link);
    ExchangeStatus run(const QByteArray &line, int threshold, int pauseMs);
    void logAnswer();
    void logNoRespond();
    void tellFailed();

    ModulePort &m_port;
    common::Prompter &m_prompter;
    ModuleLog &m_log;
    ModuleTiming m_timing;
    QString m_openDevice;
};

} // namespace netkeel

// Any answers from the network module to Netkeel: a fake serial port hands out
// the fuzzer's bytes as the module's answers, in pieces, with silences and a
// failing device, to the read sequence (prefix test and the fields' checks)
// and to the write commands. The addresses read are then split for the four
// boxes of the window's address editors.

#include "netkeel/module/link_target.h"
#include "netkeel/module/module_commands.h"
#include "netkeel/module/module_log.h"
#include "netkeel/module/module_port.h"
#include "netkeel/module/module_protocol.h"

#include "common/dotted_address.h"
#include "common/ip_address_editor.h"
#include "common/recording_prompter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QList>

#include <cstdlib>

namespace {

// Each command written is answered with the next few pieces of the input, one
// piece per wait; an empty piece is a wait that runs out. Nothing blocks, so
// the time-outs cost no time.
class FuzzedModulePort : public netkeel::ModulePort
{
public:
    explicit FuzzedModulePort(FuzzedDataProvider &input) : m_input(input) {}

    bool open(const QString &) override
    {
        m_open = m_input.remaining_bytes() == 0 || m_input.ConsumeIntegralInRange(0, 15) != 0;
        return m_open;
    }
    bool isOpen() const override { return m_open; }
    void close() override
    {
        m_open = false;
        m_available.clear();
        m_pieces.clear();
    }
    bool write(const QByteArray &) override
    {
        const int pieces = m_input.ConsumeIntegralInRange(0, 3);
        for (int i = 0; i < pieces; ++i) {
            const std::string piece = m_input.ConsumeRandomLengthString(40);
            m_pieces << QByteArray(piece.data(), static_cast<qsizetype>(piece.size()));
        }
        return true;
    }
    qint64 bytesAvailable() const override { return m_available.size(); }
    netkeel::WaitResult waitForData(int) override
    {
        if (m_pieces.isEmpty())
            return netkeel::WaitResult::TimedOut;
        const QByteArray piece = m_pieces.takeFirst();
        if (piece == "\xFF")
            return netkeel::WaitResult::Failed; // the device went away
        if (piece.isEmpty())
            return netkeel::WaitResult::TimedOut;
        m_available += piece;
        return netkeel::WaitResult::DataArrived;
    }
    QByteArray readAll() override { return std::exchange(m_available, {}); }
    QString errorString() const override { return QStringLiteral("device gone"); }

private:
    FuzzedDataProvider &m_input;
    bool m_open = false;
    QByteArray m_available;
    QList<QByteArray> m_pieces;
};

class DiscardingLog : public netkeel::ModuleLog
{
public:
    void append(const QString &) override {}
};

void splitForBoxes(const std::optional<QString> &address)
{
    if (!address)
        return;
    common::isDottedQuad(*address);
    if (common::splitAddress(*address).size() > 4)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace netkeel;

    FuzzedDataProvider input(data, size);
    FuzzedModulePort port(input);
    common::RecordingPrompter prompter;
    DiscardingLog log;
    ModuleProtocol protocol(port, prompter, log);
    const LinkTarget link{QStringLiteral("COM1"), QStringLiteral("/dev/ttyS0")};

    const ModuleReading reading = protocol.readSettings(link);
    if (reading.multiChannel && *reading.multiChannel != 0 && *reading.multiChannel != 1)
        std::abort();
    if (reading.baudCode && !baudRateForCode(*reading.baudCode))
        std::abort();
    splitForBoxes(reading.moduleIp);
    splitForBoxes(reading.replyIp);
    splitForBoxes(reading.gateway);
    splitForBoxes(reading.netMask);

    protocol.writePorts(link, QStringLiteral("1973"), QStringLiteral("1974"));
    protocol.write(link, WriteSetting::ModuleIp, QStringLiteral("192.168.1.100"));
    protocol.write(link, WriteSetting::Store, {});
    return 0;
}

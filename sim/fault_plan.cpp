#include "fault_plan.h"

namespace LedBoardSim {

QString replyKindName(ReplyKind kind)
{
    switch (kind) {
    case ReplyKind::Echo:
        return QStringLiteral("echo");
    case ReplyKind::WrongEcho:
        return QStringLiteral("wrong-echo");
    case ReplyKind::Garbage:
        return QStringLiteral("garbage");
    case ReplyKind::Silent:
        break;
    }
    return QStringLiteral("silent");
}

FaultPlan::FaultPlan(const FaultOptions &options) : m_options(options), m_random(options.seed) {}

ReplyKind FaultPlan::replyFor(int frameNumber)
{
    // Draw for every frame so that a seed gives the same run whatever other
    // faults are set.
    bool unlucky = false;
    if (m_options.wrongEchoRate > 0.0) {
        const double draw = static_cast<double>(m_random()) / 4294967296.0;
        unlucky = draw < m_options.wrongEchoRate;
    }
    if (m_options.silentAfter && frameNumber > *m_options.silentAfter)
        return ReplyKind::Silent;
    if (m_options.garbageAfter && frameNumber > *m_options.garbageAfter)
        return ReplyKind::Garbage;
    if (frameNumber == m_options.wrongEchoAt || unlucky)
        return ReplyKind::WrongEcho;
    return ReplyKind::Echo;
}

QByteArray FaultPlan::replyBytes(ReplyKind kind, quint8 checksum)
{
    switch (kind) {
    case ReplyKind::Echo:
        return QByteArray(1, static_cast<char>(checksum));
    case ReplyKind::WrongEcho:
        // Every bit flipped: never equal to the checksum.
        return QByteArray(1, static_cast<char>(checksum ^ 0xFF));
    case ReplyKind::Garbage: {
        // The sender judges only the first byte, so that one must be wrong.
        QByteArray noise;
        for (int i = 0; i < 4; ++i)
            noise.append(static_cast<char>(m_random() & 0xFF));
        if (static_cast<quint8>(noise.at(0)) == checksum)
            noise[0] = static_cast<char>(checksum ^ 0x5A);
        return noise;
    }
    case ReplyKind::Silent:
        break;
    }
    return {};
}

bool FaultPlan::hangsUpAfter(int frameNumber) const
{
    return m_options.hangUpAfter && frameNumber >= *m_options.hangUpAfter;
}

} // namespace LedBoardSim

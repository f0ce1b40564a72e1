#include "line_pacer.h"

#include <algorithm>

namespace LedBoardSim {

LinePacer::LinePacer(int baud) : m_byteMs(baud > 0 ? 10.0 * 1000.0 / baud : 0.0) {}

void LinePacer::noteReceived(qint64 firstOffset, int count, double nowMs)
{
    // Bytes written while the line is still busy queue up behind the others.
    m_chunkStartMs = std::max(nowMs, m_receiveFreeMs);
    m_chunkOffset = firstOffset;
    m_receiveFreeMs = m_chunkStartMs + count * m_byteMs;
}

double LinePacer::arrivalMs(qint64 endOffset) const
{
    const qint64 bytes = std::max<qint64>(0, endOffset - m_chunkOffset);
    return m_chunkStartMs + static_cast<double>(bytes) * m_byteMs;
}

double LinePacer::transmitDoneMs(int count, double readyMs)
{
    const double start = std::max(readyMs, m_transmitFreeMs);
    m_transmitFreeMs = start + count * m_byteMs;
    return m_transmitFreeMs;
}

} // namespace LedBoardSim

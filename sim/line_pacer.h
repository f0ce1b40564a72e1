#pragma once

#include <QtGlobal>

namespace LedBoardSim {

// A pseudo-terminal or a datagram delivers a frame at once; a real serial line
// at B baud needs 10 bit times per byte (start, 8 data, stop). The pacer keeps
// the times, in milliseconds on a clock the caller chooses, at which bytes
// would have arrived and at which the board's answer would be on the wire.
class LinePacer
{
public:
    explicit LinePacer(int baud = 0); // 0: no pacing

    double byteMs() const { return m_byteMs; }
    // count bytes, the first at stream position firstOffset, were read at nowMs.
    void noteReceived(qint64 firstOffset, int count, double nowMs);
    // When the byte just before endOffset of the last chunk had fully arrived.
    double arrivalMs(qint64 endOffset) const;
    // When count bytes, ready to go at readyMs, have left; answers never overlap.
    double transmitDoneMs(int count, double readyMs);

private:
    double m_byteMs = 0.0;
    qint64 m_chunkOffset = 0;
    double m_chunkStartMs = 0.0;
    double m_receiveFreeMs = 0.0;
    double m_transmitFreeMs = 0.0;
};

} // namespace LedBoardSim

#pragma once

#include <QByteArray>
#include <QString>

namespace LedBoardSim {

// What the reader made of the next stretch of the line.
enum class FrameStatus {
    Ok,            // header, address, payload and a matching checksum
    ChecksumError, // a complete frame whose checksum byte is not the payload sum
    BadEscape,     // a 0xFA in payload or checksum without the 0xFF after it
    BadHeader,     // bytes that are not part of any frame (noise before a header)
    Truncated,     // the input ended inside a frame
    Incomplete,    // nothing complete yet: more bytes are needed
};

QString frameStatusName(FrameStatus status);

struct ReadItem
{
    FrameStatus status = FrameStatus::Incomplete;
    QByteArray raw;            // the bytes exactly as they came off the line
    int address = -1;          // -1 until the address byte has been seen
    QByteArray payload;        // unescaped payload, without the checksum
    int checksum = -1;         // the checksum byte the sender put on the wire
    int computedChecksum = -1; // low 8 bits of the payload sum
    qint64 endOffset = 0;      // stream position just after the last byte of raw
    QString error;             // why the item is not a good frame
};

// Splits a byte stream into frames: 0xFA 0xFA, one raw address byte, then the
// payload and its checksum with a 0xFF inserted after every 0xFA. The frame
// carries no length: the first payload byte (the command code) decides it.
class FrameReader
{
public:
    static constexpr quint8 headerByte = 0xFA;
    static constexpr quint8 escapeByte = 0xFF;
    static constexpr int commandPayloadLength = 21;
    static constexpr int picturePayloadLength = 132;

    static int payloadLength(quint8 command);

    void append(const QByteArray &bytes);
    // The next complete item, or Incomplete when more bytes are needed.
    ReadItem next();
    // What is left once the input has ended (end of a datagram, or of the
    // session): a Truncated frame or stray bytes; Incomplete when nothing is.
    ReadItem takeRest();
    bool hasPendingBytes() const { return !m_buffer.isEmpty(); }

private:
    ReadItem take(int count, FrameStatus status, const QString &error);
    int headerIndex() const;
    quint8 at(int index) const { return static_cast<quint8>(m_buffer.at(index)); }

    QByteArray m_buffer;
    qint64 m_consumed = 0;
};

} // namespace LedBoardSim

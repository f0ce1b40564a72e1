#include "frame_reader.h"

namespace LedBoardSim {

QString frameStatusName(FrameStatus status)
{
    switch (status) {
    case FrameStatus::Ok:
        return QStringLiteral("ok");
    case FrameStatus::ChecksumError:
        return QStringLiteral("checksum-error");
    case FrameStatus::BadEscape:
        return QStringLiteral("bad-escape");
    case FrameStatus::BadHeader:
        return QStringLiteral("bad-header");
    case FrameStatus::Truncated:
        return QStringLiteral("truncated");
    case FrameStatus::Incomplete:
        break;
    }
    return QStringLiteral("incomplete");
}

int FrameReader::payloadLength(quint8 command)
{
    // Picture data is the only long packet; every other command is 21 bytes,
    // and an unknown code is read as a command of that size.
    return command == 0x12 ? picturePayloadLength : commandPayloadLength;
}

void FrameReader::append(const QByteArray &bytes)
{
    m_buffer.append(bytes);
}

int FrameReader::headerIndex() const
{
    for (int i = 0; i + 1 < m_buffer.size(); ++i) {
        if (at(i) == headerByte && at(i + 1) == headerByte)
            return i;
    }
    return -1;
}

ReadItem FrameReader::take(int count, FrameStatus status, const QString &error)
{
    ReadItem item;
    item.status = status;
    item.raw = m_buffer.left(count);
    item.error = error;
    m_buffer.remove(0, count);
    m_consumed += count;
    item.endOffset = m_consumed;
    return item;
}

ReadItem FrameReader::next()
{
    if (m_buffer.isEmpty())
        return {};

    const int header = headerIndex();
    if (header < 0) {
        // A lone 0xFA at the end may be the first half of the next header.
        const int keep = at(m_buffer.size() - 1) == headerByte ? 1 : 0;
        if (m_buffer.size() - keep > 0)
            return take(m_buffer.size() - keep, FrameStatus::BadHeader,
                        QStringLiteral("bytes outside a frame"));
        return {};
    }
    if (header > 0)
        return take(header, FrameStatus::BadHeader, QStringLiteral("bytes outside a frame"));
    if (m_buffer.size() < 3)
        return {};

    // The address byte is never escaped: 0xFA 0xFA 0xFA is header plus address 0xFA.
    const int address = at(2);
    QByteArray body; // payload then checksum, unescaped
    int length = -1;
    int pos = 3;
    while (length < 0 || body.size() < length + 1) {
        if (pos >= m_buffer.size())
            return {};
        const quint8 byte = at(pos);
        if (byte == headerByte) {
            if (pos + 1 >= m_buffer.size())
                return {};
            const quint8 following = at(pos + 1);
            if (following == headerByte) {
                // Two unescaped 0xFA can only be a new header: the frame
                // before it lost bytes. Keep the header for the next frame.
                ReadItem item = take(pos, FrameStatus::BadEscape,
                                     QStringLiteral("frame cut short by a new header after %1 "
                                                    "payload bytes")
                                         .arg(body.size()));
                item.address = address;
                return item;
            }
            if (following != escapeByte) {
                ReadItem item =
                    take(pos + 1, FrameStatus::BadEscape,
                         QStringLiteral("0xFA at offset %1 not followed by 0xFF").arg(pos));
                item.address = address;
                return item;
            }
            body.append(static_cast<char>(headerByte));
            pos += 2;
        } else {
            body.append(static_cast<char>(byte));
            ++pos;
        }
        if (body.size() == 1)
            length = payloadLength(static_cast<quint8>(body.at(0)));
    }

    const QByteArray payload = body.left(length);
    unsigned sum = 0;
    for (char c : payload)
        sum += static_cast<quint8>(c);
    const int computed = static_cast<int>(sum & 0xFF);
    const int sent = static_cast<quint8>(body.at(length));

    const bool good = computed == sent;
    ReadItem item = take(pos, good ? FrameStatus::Ok : FrameStatus::ChecksumError,
                         good ? QString()
                              : QStringLiteral("checksum 0x%1 on the wire, payload sums to 0x%2")
                                    .arg(sent, 2, 16, QLatin1Char('0'))
                                    .arg(computed, 2, 16, QLatin1Char('0')));
    item.address = address;
    item.payload = payload;
    item.checksum = sent;
    item.computedChecksum = computed;
    return item;
}

ReadItem FrameReader::takeRest()
{
    ReadItem item = next();
    if (item.status != FrameStatus::Incomplete || m_buffer.isEmpty())
        return item;
    const bool inFrame = m_buffer.size() >= 2 && at(0) == headerByte && at(1) == headerByte;
    const int address = m_buffer.size() >= 3 && inFrame ? at(2) : -1;
    item = inFrame
               ? take(m_buffer.size(), FrameStatus::Truncated,
                      QStringLiteral("input ended after %1 bytes of a frame").arg(m_buffer.size()))
               : take(m_buffer.size(), FrameStatus::BadHeader,
                      QStringLiteral("bytes outside a frame"));
    item.address = address;
    return item;
}

} // namespace LedBoardSim

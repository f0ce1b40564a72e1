#include "frame.h"

namespace pravik::link {

std::uint8_t payloadChecksum(const QByteArray &buffer, int checksumIndex)
{
    unsigned sum = 0;
    for (int i = 0; i < checksumIndex; ++i)
        sum += static_cast<std::uint8_t>(buffer[i]);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

QByteArray buildFrame(std::uint8_t busAddress, const QByteArray &buffer, int checksumIndex)
{
    int marks = 0;
    for (int i = 0; i <= checksumIndex; ++i)
        marks += static_cast<std::uint8_t>(buffer[i]) == kFrameMark;

    QByteArray frame;
    frame.reserve(checksumIndex + marks + 4);
    frame.append(static_cast<char>(kFrameMark));
    frame.append(static_cast<char>(kFrameMark));
    frame.append(static_cast<char>(busAddress));
    for (int i = 0; i <= checksumIndex; ++i) {
        frame.append(buffer[i]);
        if (static_cast<std::uint8_t>(buffer[i]) == kFrameMark)
            frame.append(static_cast<char>(kEscapeFill));
    }
    return frame;
}

} // namespace pravik::link

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
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(buffer.constData());
    int marks = 0;
    for (int i = 0; i <= checksumIndex; ++i)
        marks += bytes[i] == kFrameMark;

    // Sized once and written in place: every picture packet passes through here.
    QByteArray frame(checksumIndex + marks + 4, Qt::Uninitialized);
    auto *out = reinterpret_cast<std::uint8_t *>(frame.data());
    *out++ = kFrameMark;
    *out++ = kFrameMark;
    *out++ = busAddress;
    for (int i = 0; i <= checksumIndex; ++i) {
        *out++ = bytes[i];
        if (bytes[i] == kFrameMark)
            *out++ = kEscapeFill;
    }
    return frame;
}

} // namespace pravik::link

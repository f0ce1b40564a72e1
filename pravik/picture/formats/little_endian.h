#pragma once

#include <QByteArray>
#include <cstdint>

namespace pravik::picture {

// A little-endian number of `size` bytes at `at`; the caller has checked that
// the bytes are there.
inline std::uint32_t littleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

} // namespace pravik::picture

#pragma once

// Test-side frame encoder, written apart from the simulator so that the tests
// do not check the simulator against itself.

#include <QByteArray>

#include <initializer_list>

namespace WireBuilder {

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

inline QByteArray fromHex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// A command payload of 21 bytes (or picture payload of 132) with the given
// bytes set at their indices.
inline QByteArray payload(int length, std::initializer_list<std::pair<int, int>> set)
{
    QByteArray out(length, '\0');
    for (const auto &[index, value] : set)
        out[index] = static_cast<char>(value);
    return out;
}

inline quint8 checksum(const QByteArray &payload)
{
    int sum = 0;
    for (char c : payload)
        sum += static_cast<quint8>(c);
    return static_cast<quint8>(sum % 256);
}

inline QByteArray frame(int address, const QByteArray &payload)
{
    QByteArray out = bytes({0xFA, 0xFA, address});
    QByteArray body = payload;
    body.append(static_cast<char>(checksum(payload)));
    for (char c : body) {
        out.append(c);
        if (static_cast<quint8>(c) == 0xFA)
            out.append(static_cast<char>(0xFF));
    }
    return out;
}

// Picture data packet: screen, line number, byte 3 (2 x block + half), 128 bytes.
inline QByteArray picture(int screen, int line, int halfBlock, const QByteArray &data)
{
    QByteArray out = bytes({0x12, screen, line, halfBlock});
    out.append(data.left(128));
    out.append(QByteArray(132 - out.size(), '\0'));
    return out;
}

} // namespace WireBuilder

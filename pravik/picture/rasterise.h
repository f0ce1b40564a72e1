#pragma once

#include "pravik/link/exchange.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>

namespace common {
class Prompter;
}

namespace pravik::picture {

class BoardCanvas;

// Sends one packet and returns the exchange's result; the board link's
// exchangePacket, or a stand-in in tests.
using PacketExchange = std::function<link::ExchangeResult(QByteArray &buffer, int checksumIndex)>;

inline constexpr int kPictureChecksumIndex = 132;

enum class RasteriseResult : int {
    Ok = 0,                 // every block sent, or nothing to send for this board type
    SingleInsideBand = 16,  // single-colour: a block that filled up inside a band failed
    SingleEndOfBand = 17,   // single-colour: the last block of band 0, 1 or 2 failed
    SingleAfterLastRow = 18,
    ThreeInsideBand = 19,   // three-colour: a block pair that filled up inside a band failed
    ThreeEndOfBand = 20,
    ThreeAfterLastRow = 21,
    BoardTooLarge = 22,     // refused before sending: a band would need more than 128 blocks
};

// Sends one 256-byte block as two picture data packets (bytes 0-127, then
// 128-255) in `packet`, whose bytes 0 and 1 (0x12, screen index) are set.
// Returns 0, or 1 / 2 when the first / second half failed.
int sendPictureBlock(const PacketExchange &exchange, QByteArray &packet,
                     const std::array<std::uint8_t, 256> &block, std::uint8_t blockIndex,
                     std::uint8_t lineNumber);

// Packs the canvas into the board's planes and sends them as picture data
// packets for screen `screenIndex`. Nothing is sent for a multi-colour board
// (type 3) or a board without a type. The first failure ends the picture.
RasteriseResult rasterisePicture(const BoardCanvas &canvas, int screenType,
                                 std::uint8_t screenIndex, const PacketExchange &exchange,
                                 common::Prompter &prompter,
                                 const std::function<void(int row)> &progress = {});

} // namespace pravik::picture

#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>

namespace pravik::picture {

class BoardCanvas;

// Sends one packet and returns the exchange's failure, if any; the board
// link's exchangePacket, or a stand-in in tests.
using PacketExchange = std::function<common::Status(QByteArray &buffer, int checksumIndex)>;

inline constexpr int kPictureChecksumIndex = 132;

enum class RasteriseResult : int {
    Ok = 0,                // every block sent, or nothing to send for this board type
    SingleInsideBand = 16, // single-colour: a block that filled up inside a band failed
    SingleEndOfBand = 17,  // single-colour: the last block of band 0, 1 or 2 failed
    SingleAfterLastRow = 18,
    ThreeInsideBand = 19, // three-colour: a block pair that filled up inside a band failed
    ThreeEndOfBand = 20,
    ThreeAfterLastRow = 21,
    BoardTooLarge = 22, // refused before sending: a band would need more than 128 blocks
};

// Sends one 256-byte block as two picture data packets (bytes 0-127, then
// 128-255) in `packet`, whose bytes 0 and 1 (0x12, screen index) are set.
// Returns 0, or 1 / 2 when the first / second half failed; `failure` is then
// the exchange's.
int sendPictureBlock(const PacketExchange &exchange, QByteArray &packet,
                     const std::array<std::uint8_t, 256> &block, std::uint8_t blockIndex,
                     std::uint8_t lineNumber, common::Status &failure);

// How sending a picture went: Ok, or where it stopped with the failure that
// stopped it (the exchange's, or the board too large for its store).
struct PictureSent
{
    RasteriseResult result = RasteriseResult::Ok;
    common::Status failure;
};

// Packs the canvas into the board's planes and sends them as picture data
// packets for screen `screenIndex`. Nothing is sent for a multi-colour board
// (type 3) or a board without a type. The first failure ends the picture.
PictureSent rasterisePicture(const BoardCanvas &canvas, int screenType, std::uint8_t screenIndex,
                             const PacketExchange &exchange,
                             const std::function<void(int row)> &progress = {});

} // namespace pravik::picture

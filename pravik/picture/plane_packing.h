#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace pravik::picture {

class BoardCanvas;

inline constexpr int kBlockBytes = 256;
inline constexpr int kBandRows = 128;
inline constexpr int kMaxBlocksPerBand = 128; // the block index shares packet byte 3 with the half

// Where in the picture a block was completed; a failure to send it has its
// own result code.
enum class BlockPosition { InsideBand, EndOfBand, AfterLastRow };

// One block of packed bits per plane: the single plane, or the green plane
// (even line number) followed by the red plane (odd line number).
struct BlockStep
{
    BlockPosition position = BlockPosition::InsideBand;
    std::uint8_t blockIndex = 0;
    int planeCount = 1;
    std::array<std::array<std::uint8_t, kBlockBytes>, 2> bytes{};
    std::array<std::uint8_t, 2> lineNumbers{};
};

// Whether a pixel lights an LED of each plane. A single-colour board lights
// for any red or green; blue never lights anything.
inline bool litOnSingleColour(QRgb pixel) { return (pixel & 0x00FFFF00u) != 0; }
inline bool litGreen(QRgb pixel) { return (pixel & 0x0000FF00u) != 0; }
inline bool litRed(QRgb pixel) { return (pixel & 0x00FF0000u) != 0; }

// Packs the canvas of a single-colour (1) or three-colour (2) board into
// 256-byte blocks, row by row, eight pixels a byte with the first in bit 7,
// in bands of 128 rows. A single-colour board closes bands after rows 127,
// 255 and 383, a three-colour board after 127 and 255; the last band takes the
// remaining rows. Every block is handed to `deliver` as soon as it is complete;
// packing stops when `deliver` returns false. `rowStarted` hears of every row.
// Returns false when stopped.
bool packPlanes(const BoardCanvas &canvas, int screenType,
                const std::function<bool(const BlockStep &)> &deliver,
                const std::function<void(int row)> &rowStarted = {});

// Why the board cannot take a picture of this size, or nothing: a band holds
// at most 128 blocks of 256 bytes per plane.
std::optional<QString> bandOverflow(int width, int height, int screenType);

} // namespace pravik::picture

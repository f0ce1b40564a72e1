#include "plane_packing.h"

#include "board_canvas.h"

namespace pravik::picture {
namespace {

// The rows after which a band is closed inside the row loop.
bool closesBand(int row, int screenType)
{
    const int lastClosedBand = screenType == 1 ? 3 : 2;
    return (row + 1) % kBandRows == 0 && (row + 1) / kBandRows <= lastClosedBand;
}

template <typename Lit>
std::uint8_t packEight(const QRgb *pixels, Lit lit)
{
    std::uint8_t byte = 0;
    for (int k = 0; k < 8; ++k)
        byte = static_cast<std::uint8_t>((byte << 1) | (lit(pixels[k]) ? 1 : 0));
    return byte;
}

} // namespace

bool packPlanes(const BoardCanvas &canvas, int screenType,
                const std::function<bool(const BlockStep &)> &deliver,
                const std::function<void(int row)> &rowStarted)
{
    const int width = canvas.width();
    const int height = canvas.height();
    const int stripWidth = canvas.stripWidth();
    const bool threeColour = screenType == 2;

    BlockStep step;
    step.planeCount = threeColour ? 2 : 1;
    int byteIndex = 0;
    int lineNumber = 0;
    int blockIndex = 0;

    const auto send = [&](BlockPosition position) {
        for (int p = 0; p < step.planeCount; ++p)
            std::fill(step.bytes[p].begin() + byteIndex, step.bytes[p].end(), 0);
        step.position = position;
        step.blockIndex = static_cast<std::uint8_t>(blockIndex);
        step.lineNumbers = {static_cast<std::uint8_t>(lineNumber),
                            static_cast<std::uint8_t>(lineNumber + 1)};
        return deliver(step);
    };

    for (int y = 0; y < height; ++y) {
        if (rowStarted)
            rowStarted(y);
        const auto *left = reinterpret_cast<const QRgb *>(canvas.strip1().constScanLine(y));
        const auto *right = canvas.usesTwoStrips()
                                ? reinterpret_cast<const QRgb *>(canvas.strip2().constScanLine(y))
                                : nullptr;
        for (int x = 0; x < width; x += 8) {
            // Strip widths are whole bytes, so eight pixels never straddle two strips.
            const QRgb *pixels = x < stripWidth ? left + x : right + (x - stripWidth);
            if (threeColour) {
                step.bytes[0][byteIndex] = packEight(pixels, litGreen);
                step.bytes[1][byteIndex] = packEight(pixels, litRed);
            } else {
                step.bytes[0][byteIndex] = packEight(pixels, litOnSingleColour);
            }
            if (++byteIndex == kBlockBytes) {
                if (!send(BlockPosition::InsideBand))
                    return false;
                ++blockIndex;
                byteIndex = 0;
            }
        }
        if (closesBand(y, screenType)) {
            if (byteIndex != 0 && !send(BlockPosition::EndOfBand))
                return false;
            lineNumber += 2;
            blockIndex = 0;
            byteIndex = 0;
        }
    }
    if (byteIndex != 0)
        return send(BlockPosition::AfterLastRow);
    return true;
}

std::optional<QString> bandOverflow(int width, int height, int screenType)
{
    const int closedBands = screenType == 1 ? 3 : 2;
    const int bytesPerRow = width / 8;
    for (int band = 0; band * kBandRows < height; ++band) {
        const int firstRow = band * kBandRows;
        const int rows = band < closedBands ? std::min(kBandRows, height - firstRow)
                                            : height - firstRow;
        if (static_cast<long long>(bytesPerRow) * rows > kMaxBlocksPerBand * kBlockBytes) {
            return QStringLiteral("显示屏 %1 x %2 太大：每 128 行最多 32768 字节，"
                                  "这块屏需要 %3 字节，图片没有发送。")
                .arg(width)
                .arg(height)
                .arg(static_cast<long long>(bytesPerRow) * rows);
        }
        if (band >= closedBands)
            break;
    }
    return std::nullopt;
}

} // namespace pravik::picture

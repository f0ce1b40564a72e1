#include "rasterise.h"

#include "board_canvas.h"
#include "plane_packing.h"

#include "pravik/document/program_texts.h"
#include "pravik/link/board_commands.h"

#include <cstring>

namespace pravik::picture {
namespace {

constexpr int kHalfBlock = 128;
constexpr int kPacketDataOffset = 4;

RasteriseResult failureAt(BlockPosition position, bool threeColour)
{
    const int base = threeColour ? 19 : 16;
    switch (position) {
    case BlockPosition::InsideBand:
        return static_cast<RasteriseResult>(base);
    case BlockPosition::EndOfBand:
        return static_cast<RasteriseResult>(base + 1);
    case BlockPosition::AfterLastRow:
        break;
    }
    return static_cast<RasteriseResult>(base + 2);
}

} // namespace

int sendPictureBlock(const PacketExchange &exchange, QByteArray &packet,
                     const std::array<std::uint8_t, 256> &block, std::uint8_t blockIndex,
                     std::uint8_t lineNumber, common::Status &failure)
{
    for (int half = 0; half < 2; ++half) {
        packet[2] = static_cast<char>(lineNumber);
        packet[3] = static_cast<char>(2 * blockIndex + half);
        std::memcpy(packet.data() + kPacketDataOffset, block.data() + half * kHalfBlock,
                    kHalfBlock);
        failure = exchange(packet, kPictureChecksumIndex);
        if (failure)
            return half + 1;
    }
    return 0;
}

PictureSent rasterisePicture(const BoardCanvas &canvas, int screenType, std::uint8_t screenIndex,
                             const PacketExchange &exchange,
                             const std::function<void(int row)> &progress)
{
    if (screenType != 1 && screenType != 2)
        return {};
    if (const auto overflow = bandOverflow(canvas.width(), canvas.height(), screenType))
        return {RasteriseResult::BoardTooLarge,
                common::Failure{common::kFailedCode, kProgramTitle, *overflow,
                                common::MessageIcon::Error}};

    QByteArray packet(kPictureChecksumIndex + 1, '\0');
    packet[0] = static_cast<char>(link::CommandCode::PictureData);
    packet[1] = static_cast<char>(screenIndex);

    const bool threeColour = screenType == 2;
    PictureSent sent;
    packPlanes(
        canvas, screenType,
        [&](const BlockStep &step) {
            for (int plane = 0; plane < step.planeCount; ++plane) {
                if (sendPictureBlock(exchange, packet, step.bytes[plane], step.blockIndex,
                                     step.lineNumbers[plane], sent.failure) != 0) {
                    sent.result = failureAt(step.position, threeColour);
                    return false;
                }
            }
            return true;
        },
        progress);
    return sent;
}

} // namespace pravik::picture

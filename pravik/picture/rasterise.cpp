#include "rasterise.h"

#include "board_canvas.h"
#include "plane_packing.h"

#include "pravik/document/program_texts.h"
#include "pravik/link/board_commands.h"

#include "common/prompter.h"

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
                     std::uint8_t lineNumber)
{
    for (int half = 0; half < 2; ++half) {
        packet[2] = static_cast<char>(lineNumber);
        packet[3] = static_cast<char>(2 * blockIndex + half);
        std::memcpy(packet.data() + kPacketDataOffset, block.data() + half * kHalfBlock, kHalfBlock);
        if (exchange(packet, kPictureChecksumIndex) != link::ExchangeResult::Ok)
            return half + 1;
    }
    return 0;
}

RasteriseResult rasterisePicture(const BoardCanvas &canvas, int screenType,
                                 std::uint8_t screenIndex, const PacketExchange &exchange,
                                 common::Prompter &prompter,
                                 const std::function<void(int row)> &progress)
{
    if (screenType != 1 && screenType != 2)
        return RasteriseResult::Ok;
    if (const auto overflow = bandOverflow(canvas.width(), canvas.height(), screenType)) {
        prompter.tell(*overflow, kProgramTitle, common::MessageIcon::Error);
        return RasteriseResult::BoardTooLarge;
    }

    QByteArray packet(kPictureChecksumIndex + 1, '\0');
    packet[0] = static_cast<char>(link::CommandCode::PictureData);
    packet[1] = static_cast<char>(screenIndex);

    const bool threeColour = screenType == 2;
    RasteriseResult result = RasteriseResult::Ok;
    packPlanes(
        canvas, screenType,
        [&](const BlockStep &step) {
            for (int plane = 0; plane < step.planeCount; ++plane) {
                if (sendPictureBlock(exchange, packet, step.bytes[plane], step.blockIndex,
                                     step.lineNumbers[plane]) != 0) {
                    result = failureAt(step.position, threeColour);
                    return false;
                }
            }
            return true;
        },
        progress);
    return result;
}

} // namespace pravik::picture

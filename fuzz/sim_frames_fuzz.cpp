// Any bytes off the line into the board simulator: the frame reader splits
// them, in whatever pieces they arrive, and the board checks, answers, decodes
// and stores every item, then draws the screens that changed. One byte of the
// input picks the board's colours and whether it listens to one address only,
// another its size.

#include "board.h"
#include "frame_reader.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>

#include <cstdlib>

namespace {

void handleAll(LedBoardSim::FrameReader &reader, LedBoardSim::Board &board, qint64 &offset)
{
    using LedBoardSim::FrameStatus;
    for (LedBoardSim::ReadItem item = reader.next(); item.status != FrameStatus::Incomplete;
         item = reader.next()) {
        // Items follow each other on the stream without gaps or overlaps.
        if (item.raw.isEmpty() || item.endOffset != offset + item.raw.size())
            std::abort();
        offset = item.endOffset;
        board.handle(item);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace LedBoardSim;

    FuzzedDataProvider input(data, size);
    const quint8 setup = input.ConsumeIntegral<quint8>();
    BoardConfig config;
    config.geometry.type = 1 + setup % 3;
    // Any size the simulator's options accept, kept small so drawing stays fast.
    const quint8 dimensions = input.ConsumeIntegral<quint8>();
    config.geometry.width = 8 * (1 + (dimensions & 0x1F));
    config.geometry.height = 1 + (dimensions >> 5) * 9;
    if (setup & 0x80)
        config.address = setup & 0x0F;
    Board board(config);
    FrameReader reader;

    qint64 offset = 0;
    while (input.remaining_bytes() > 0) {
        const auto piece = input.ConsumeIntegralInRange<size_t>(1, 300);
        const std::string bytes = input.ConsumeBytesAsString(piece);
        reader.append(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        handleAll(reader, board, offset);
    }
    const ReadItem rest = reader.takeRest();
    if (rest.status != FrameStatus::Incomplete)
        board.handle(rest);

    for (int screen : board.planes().takeChangedScreens())
        board.planes().render(screen);
    return 0;
}

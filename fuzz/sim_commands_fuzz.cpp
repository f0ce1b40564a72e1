// Any payload as the board simulator's command decoder sees it after the frame
// checks: every command code and length, on each kind of board, and picture
// data packets stored and drawn.

#include "command_decoder.h"
#include "plane_assembler.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace LedBoardSim;

    const QByteArray payload = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                       static_cast<qsizetype>(size));
    for (int type = 1; type <= 3; ++type)
        decodeCommand(payload, type);

    // Storing and drawing cost far more than decoding: one board kind per
    // input, picked by the length, keeps the runs fast.
    if (payload.isEmpty() || static_cast<quint8>(payload.at(0)) != PictureData)
        return 0;
    BoardGeometry geometry;
    geometry.type = 1 + static_cast<int>(payload.size() % 3);
    PlaneAssembler planes(geometry);
    planes.applyPicturePacket(payload);
    for (int screen : planes.takeChangedScreens())
        planes.render(screen);
    return 0;
}

#pragma once

#include "board_geometry.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QSet>

namespace LedBoardSim {

// Keeps what the board has stored of each screen: for every line number (band
// and plane) the packed bits that picture data packets brought, and turns them
// back into the LEDs the board lights.
class PlaneAssembler
{
public:
    // One line number holds at most 128 blocks of 256 bytes: the block index
    // and the half share packet byte 3.
    static constexpr int lineCapacity = 128 * 256;

    explicit PlaneAssembler(BoardGeometry geometry);

    // Stores the 128 data bytes of a picture data payload. Returns a note when
    // the packet cannot be shown on this board, otherwise an empty string.
    QString applyPicturePacket(const QByteArray &payload);

    bool hasScreen(int screen) const { return m_screens.contains(screen); }
    QList<int> screens() const { return m_screens.keys(); }
    // Screens changed since they were last taken.
    QList<int> takeChangedScreens();
    void markShown(int screen) { m_changed.remove(screen); }

    // What the board shows: red, green and yellow LEDs on black, one pixel per LED.
    QImage render(int screen) const;

    const BoardGeometry &geometry() const { return m_geometry; }

private:
    int bandOfRow(int row) const;
    bool bit(const QHash<int, QByteArray> &lines, int line, int offset, quint8 mask) const;

    BoardGeometry m_geometry;
    QMap<int, QHash<int, QByteArray>> m_screens; // screen → line number → bytes
    QSet<int> m_changed;
};

} // namespace LedBoardSim

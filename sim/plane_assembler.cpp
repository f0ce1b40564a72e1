#include "plane_assembler.h"

#include <QColor>

#include <algorithm>

namespace LedBoardSim {

PlaneAssembler::PlaneAssembler(BoardGeometry geometry) : m_geometry(geometry) {}

QString PlaneAssembler::applyPicturePacket(const QByteArray &payload)
{
    if (payload.size() < 132)
        return QStringLiteral("picture packet shorter than 132 bytes");
    const int screen = static_cast<quint8>(payload.at(1));
    const int line = static_cast<quint8>(payload.at(2));
    const int halfBlock = static_cast<quint8>(payload.at(3));

    auto &lines = m_screens[screen];
    // A picture is always sent from its first half block on; that packet
    // starts the screen afresh, so nothing of an older picture shows through.
    if (line == 0 && halfBlock == 0)
        lines.clear();
    m_changed.insert(screen);

    QByteArray &plane = lines[line];
    if (plane.isEmpty())
        plane = QByteArray(lineCapacity, '\0');
    plane.replace(halfBlock * 128, 128, payload.mid(4, 128));

    if (m_geometry.type != 1 && m_geometry.type != 2)
        return QStringLiteral("picture data for a board type without planes");
    const int bands = m_geometry.type == 1 ? 4 : 3;
    if (line >= 2 * bands || (m_geometry.type == 1 && line % 2 != 0))
        return QStringLiteral("line %1 is not shown on this board").arg(line);
    return {};
}

QList<int> PlaneAssembler::takeChangedScreens()
{
    QList<int> changed(m_changed.begin(), m_changed.end());
    std::sort(changed.begin(), changed.end());
    m_changed.clear();
    return changed;
}

int PlaneAssembler::bandOfRow(int row) const
{
    // Bands are 128 rows; the last band takes every row below it, so a
    // single-colour board has four bands and a three-colour board three.
    const int lastBand = m_geometry.type == 2 ? 2 : 3;
    return std::min(row / 128, lastBand);
}

bool PlaneAssembler::bit(const QHash<int, QByteArray> &lines, int line, int offset,
                         quint8 mask) const
{
    const auto it = lines.constFind(line);
    if (it == lines.constEnd() || offset >= it->size())
        return false;
    return (static_cast<quint8>(it->at(offset)) & mask) != 0;
}

QImage PlaneAssembler::render(int screen) const
{
    QImage image(m_geometry.width, m_geometry.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    const auto found = m_screens.constFind(screen);
    if (found == m_screens.constEnd() || (m_geometry.type != 1 && m_geometry.type != 2))
        return image;

    const QHash<int, QByteArray> &lines = *found;
    const int rowBytes = m_geometry.width / 8;
    const QRgb red = qRgb(255, 0, 0);
    const QRgb green = qRgb(0, 255, 0);
    const QRgb yellow = qRgb(255, 255, 0);
    for (int y = 0; y < m_geometry.height; ++y) {
        const int band = bandOfRow(y);
        const int rowInBand = y - band * 128;
        auto *scan = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < m_geometry.width; ++x) {
            // Bits run left to right from bit 7; rows follow without padding.
            const int offset = rowInBand * rowBytes + x / 8;
            const quint8 mask = static_cast<quint8>(0x80 >> (x % 8));
            if (m_geometry.type == 1) {
                if (bit(lines, 2 * band, offset, mask))
                    scan[x] = red;
                continue;
            }
            const bool g = bit(lines, 2 * band, offset, mask);
            const bool r = bit(lines, 2 * band + 1, offset, mask);
            if (r && g)
                scan[x] = yellow;
            else if (r)
                scan[x] = red;
            else if (g)
                scan[x] = green;
        }
    }
    return image;
}

} // namespace LedBoardSim

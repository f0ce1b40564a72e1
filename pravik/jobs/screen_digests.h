#pragma once

#include <QByteArray>
#include <cstdint>

namespace pravik::document {
class ScreenList;
struct Vocabulary;
} // namespace pravik::document

namespace pravik::picture {
class BoardCanvas;
}

namespace pravik::jobs {

// What tells whether a board already holds a screen as the list has it now:
// a SHA-1 digest over the payloads of the screen's picture packets, packed
// from the drawn canvas without sending them, and one over its properties
// payload. Empty when the frames cannot be made (a board too large, a speed
// out of range): the job then sends and meets the problem as usual.
QByteArray pictureDigest(const picture::BoardCanvas &canvas, int screenType,
                         std::uint8_t screenIndex);
QByteArray propertiesDigest(const document::ScreenList &screens,
                            const document::Vocabulary &vocabulary, std::uint8_t screenIndex);

} // namespace pravik::jobs

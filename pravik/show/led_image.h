#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace pravik::picture {
class BoardCanvas;
}

namespace pravik::show {

// The state of one LED, a bit per plane: a three-colour board lights red,
// green or both (yellow); a single-colour board has one plane and lights Red.
enum LedState : std::uint8_t { Off = 0, Red = 1, Green = 2, Yellow = Red | Green };

// What a board shows at one moment: one LedState per LED, row by row. Rows
// are plain bytes so that a frame is composed with row copies.
class LedImage
{
public:
    LedImage() = default;
    LedImage(int width, int height); // every LED off

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isEmpty() const { return m_leds.empty(); }

    LedState at(int x, int y) const { return LedState(m_leds[index(x, y)]); }
    void set(int x, int y, LedState state) { m_leds[index(x, y)] = state; }
    const std::uint8_t *row(int y) const { return m_leds.data() + index(0, y); }
    std::uint8_t *row(int y) { return m_leds.data() + index(0, y); }

    void resize(int width, int height);
    void fill(LedState state);

    friend bool operator==(const LedImage &, const LedImage &) = default;

private:
    std::size_t index(int x, int y) const { return std::size_t(y) * std::size_t(m_width) + x; }

    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_leds;
};

// The LEDs a canvas lights on a single-colour (1) or three-colour (2) board:
// the canvas is packed into the board's planes exactly as it is sent, and the
// planes are read back, so a preview can never show what the board would not.
// A board of another type gets no picture data and stays dark.
LedImage ledImage(const picture::BoardCanvas &canvas, int screenType);

// The LEDs drawn as a picture, one pixel per LED in the colours of the board
// preview (a single-colour board's LEDs are red).
QImage ledPicture(const LedImage &leds);

} // namespace pravik::show

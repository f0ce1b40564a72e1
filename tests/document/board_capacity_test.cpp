#include "pravik/document/board_capacity.h"

#include <gtest/gtest.h>

using namespace pravik::document;

TEST(CapacityEstimate, CountsScreensThatFitIntoFourMegabits)
{
    struct Case
    {
        int width, height, type, screens;
    };
    const Case cases[] = {
        {160, 32, 1, 512}, // 640 bytes, 3 pages
        {160, 32, 2, 288}, // two planes: 6 pages
        {160, 32, 3, 512}, // multi-colour is estimated like single-colour
        {0, 32, 1, 1024},  // no bytes counts as one page
        {512, 256, 1, 16}, // 64 pages
        {512, 512, 1, 0},  // 128 pages: more than the store holds for one
        {8, 1, 1, 1024},
        {-800, 8, 1, 0}, // a nonsense width stores nothing rather than dividing by zero
    };
    for (const auto &c : cases) {
        BoardSettings board;
        board.scrwidth = static_cast<std::int16_t>(c.width);
        board.scrhigh = static_cast<std::int16_t>(c.height);
        board.scrtype = static_cast<std::int16_t>(c.type);
        EXPECT_EQ(capacityEstimate(board), c.screens)
            << c.width << "x" << c.height << " type " << c.type;
    }
}

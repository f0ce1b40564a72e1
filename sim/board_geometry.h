#pragma once

namespace LedBoardSim {

// The frames never say how big the board is or how many colours it has, so a
// board is told at start-up.
struct BoardGeometry
{
    int width = 160; // LEDs, a multiple of 8
    int height = 32; // LEDs
    int type = 1;    // 1 single-colour, 2 three-colour (red and green), 3 multi-colour
};

} // namespace LedBoardSim

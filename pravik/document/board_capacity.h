#pragma once

#include "board_settings.h"

namespace pravik::document {

// An estimate of how many screens of this board fit into its 4-megabit store,
// counted as 16 x 128 pages of 256 bytes.
int capacityEstimate(const BoardSettings &settings);

} // namespace pravik::document

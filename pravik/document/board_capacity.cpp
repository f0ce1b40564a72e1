#include "board_capacity.h"

#include "common/numbers.h"

#include <cmath>

namespace pravik::document {

int capacityEstimate(const BoardSettings &settings)
{
    auto bytes = common::roundHalfEven(settings.scrwidth / 8.0 * settings.scrhigh);
    if (bytes == 0)
        bytes = 256;
    auto pages = static_cast<std::int64_t>(std::trunc((bytes + 255) / 256.0));
    // A three-colour board keeps a red and a green plane.
    if (settings.scrtype == 2)
        pages *= 2;
    // Only a negative width reaches here with no page at all; it stores nothing.
    if (pages + 1 <= 0)
        return 0;
    return static_cast<int>(128 / (pages + 1) * 16);
}

} // namespace pravik::document

#include "screen_fit.h"

#include <algorithm>

namespace slatepad {

QRect fitOnScreen(QSize wanted, const QRect &available, const QMargins &frame)
{
    const QRect inside = available.marginsRemoved(frame);
    const QSize size(std::clamp(wanted.width(), 1, std::max(inside.width(), 1)),
                     std::clamp(wanted.height(), 1, std::max(inside.height(), 1)));
    QRect placed(QPoint(), size);
    placed.moveCenter(inside.center());
    return placed;
}

} // namespace slatepad

#include "show_pass.h"

#include "show_timing.h"

#include <utility>

namespace pravik::show {

// Every part of a show lasts a whole number of effect step units, so the
// frame can change only on such a unit.
static_assert(kStaySecondMs % kStepUnitMs == 0 && kBlinkHalfPeriodMs % kStepUnitMs == 0);

int passOrder(const ShowMoment &moment)
{
    return moment.screen * 3 + int(moment.phase);
}

bool playOnePass(const Show &show, const FrameSink &frameDone)
{
    LedImage shown;
    LedImage next;
    ShowMoment moment = show.frameAt(0, shown);
    std::int64_t shownSince = 0;
    std::int64_t ms = kStepUnitMs;
    for (; ms < show.loopMs(); ms += kStepUnitMs) {
        const ShowMoment at = show.frameAt(ms, next);
        if (passOrder(at) < passOrder(moment))
            break;
        moment = at;
        if (next == shown)
            continue;
        if (!frameDone(shown, ms - shownSince))
            return false;
        std::swap(shown, next);
        shownSince = ms;
    }
    return frameDone(shown, ms - shownSince);
}

} // namespace pravik::show

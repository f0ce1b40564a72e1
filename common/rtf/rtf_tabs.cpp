#include "rtf_tabs.h"

#include "rtf_sizes.h"

#include <algorithm>

namespace common::rtf {
namespace {

constexpr int kDefaultStopsListed = 64;

// The first default stop right of `position`; the grid runs left of the page
// too, where a negative indent starts a line.
int nextDefaultStop(int position, int distance)
{
    const int below = position / distance - (position % distance != 0 && position < 0);
    return (below + 1) * distance;
}

} // namespace

void dropRepeatedDefaultStops(std::vector<TabStop> &stops, int lineStart, int defaultDistance)
{
    while (!stops.empty() && stops.back().type == QTextOption::LeftTab) {
        const int before =
            stops.size() > 1 ? std::max(stops[stops.size() - 2].position, lineStart) : lineStart;
        if (stops.back().position != nextDefaultStop(before, defaultDistance))
            return;
        stops.pop_back();
    }
}

QList<QTextOption::Tab> lineTabStops(std::vector<TabStop> stops, int lineStart, int defaultDistance)
{
    dropRepeatedDefaultStops(stops, lineStart, defaultDistance);
    QList<QTextOption::Tab> tabs;
    int last = lineStart;
    for (const TabStop &stop : stops) {
        if (stop.position <= lineStart)
            continue;
        const QChar delimiter = stop.type == QTextOption::DelimiterTab ? QChar(u'.') : QChar();
        tabs.append(QTextOption::Tab(stop.position - lineStart, stop.type, delimiter));
        last = stop.position;
    }
    if (lineStart % defaultDistance != 0) {
        for (int stop = nextDefaultStop(last, defaultDistance);
             stop <= kMaxDistancePixels &&
             stop - lineStart <= kDefaultStopsListed * defaultDistance;
             stop += defaultDistance)
            tabs.append(QTextOption::Tab(stop - lineStart, QTextOption::LeftTab));
    }
    return tabs;
}

std::vector<TabStop> pageTabStops(const QList<QTextOption::Tab> &tabs, qreal lineStart,
                                  qreal defaultDistance)
{
    std::vector<TabStop> stops;
    stops.reserve(static_cast<std::size_t>(tabs.size()));
    for (const QTextOption::Tab &tab : tabs)
        stops.push_back({pixelsToTwips(tab.position + lineStart), tab.type});
    dropRepeatedDefaultStops(stops, pixelsToTwips(lineStart),
                             std::max(pixelsToTwips(defaultDistance), 1));
    return stops;
}

} // namespace common::rtf

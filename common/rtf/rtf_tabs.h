#pragma once

#include <QList>
#include <QTextOption>

#include <vector>

// RTF measures a paragraph's tab stops, and the default stops every \deftab
// after its last one, from the page's left edge; the toolkit measures both
// from where each line starts. A paragraph has one list of stops, so the list
// is made for its first line, which starts at the left indent plus the
// first-line indent: later lines of a paragraph with a first-line indent see
// the stops moved by that indent.
namespace common::rtf {

// A stop as RTF gives it, from the page's left edge.
struct TabStop
{
    int position = 0; // pixels, or twips in a file
    QTextOption::TabType type = QTextOption::LeftTab;

    bool operator==(const TabStop &) const = default;
};

// Leaves out the last stops while they only repeat the default ones: a left
// stop where the default stop after the stop before it, or after the line's
// start, is anyway. `stops` ascending.
void dropRepeatedDefaultStops(std::vector<TabStop> &stops, int lineStart, int defaultDistance);

// The toolkit's stops for a line starting at `lineStart` (pixels from the
// page's left edge). Stops the line starts past are never reached and left
// out. Where the line does not start on the page's grid of default stops,
// that grid is listed after the last stop, as far as 64 of them reach and
// the limit of distances (rtf_sizes.h), since the toolkit's own default stops
// would be off it.
QList<QTextOption::Tab> lineTabStops(std::vector<TabStop> stops, int lineStart,
                                     int defaultDistance);

// The inverse, in twips from the page's left edge.
std::vector<TabStop> pageTabStops(const QList<QTextOption::Tab> &tabs, qreal lineStart,
                                  qreal defaultDistance);

} // namespace common::rtf

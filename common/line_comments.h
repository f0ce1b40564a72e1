#pragma once

#include <QString>

namespace common {

// A line of a hand-written settings file without its comment: '#' at the
// start or after a blank begins one, so a '#' inside a word (a file named
// "no#1.lt") stays.
inline QString withoutComment(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'#' && (i == 0 || line[i - 1].isSpace()))
            return line.left(i);
    }
    return line;
}

} // namespace common

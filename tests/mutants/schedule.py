#!/usr/bin/env python3
"""Faults of the schedule (3201-3208): when a window holds, which rule wins,
what a range window narrows, which paths are refused, the daily clock
setting and the zone offset kept past a change of the clocks."""

M = {}

M["pravik/schedule/rule.cpp"] = [
    (3201, "a window's end minute still inside the window",
     "at.minute >= startMinute && at.minute < endMinute;",
     "at.minute >= startMinute && (MUT(3201) ? at.minute <= endMinute : at.minute < endMinute);"),
    (3202, "a window over midnight kept by the day it ends on, not the day it begins on",
     "(days.contains(at.day - 1) && at.minute < endMinute);",
     "(days.contains(MUT(3202) ? at.day : at.day - 1) && at.minute < endMinute);"),
]

M["pravik/schedule/showing.cpp"] = [
    (3203, "the first window in force wins, not the last",
     "            window = rule;\n",
     "            if (!MUT(3203) || !window)\n                window = rule;\n"),
    (3204, "a range window narrows itself (its own empty file), not the file beneath it",
     "            if (!rule->range)\n                fileWindow = rule;",
     "            if (!rule->range || MUT(3204))\n                fileWindow = rule;"),
    (3205, "a board's own default beats a later * default",
     "            fallback = rule;",
     "            if (!MUT(3205) || !fallback || !rule->boards.isEmpty())\n"
     "                fallback = rule;"),
]

M["pravik/schedule/rule_fields.cpp"] = [
    (3206, "a path with a .. component accepted (it leaves the content folder)",
     "    if (path.split(u'/').contains(QStringLiteral(\"..\")))",
     "    if (!MUT(3206) && path.split(u'/').contains(QStringLiteral(\"..\")))"),
]

M["pravik/schedule/timeline.cpp"] = [
    (3207, "the clock set at each pass of the clock time: twice on a fall-back day",
     "        const LocalMinute local = clock.at(minute);\n"
     "        if (local.minute < clockMinute || local.day <= lastSetDay)",
     "        const LocalMinute local = clock.at(minute);\n"
     "        const bool crossed = LocalClock(zone).at(minute - kMinuteMsecs).minute < clockMinute;\n"
     "        if (local.minute < clockMinute || (MUT(3207) ? !crossed : local.day <= lastSetDay))"),
]

M["pravik/schedule/local_clock.cpp"] = [
    (3208, "the zone's offset kept past its next transition (a timeline ignores clock changes)",
     "    if (m_zone.isValid() && m_zone.hasTransitions()) {",
     "    if (m_zone.isValid() && m_zone.hasTransitions() && !MUT(3208)) {"),
]

"""Faults of the show's loader and of its one pass (3400-3409), and the faults
of the shared catalogue whose code moved into the show model (3410-3415:
2035, 2041-2045 at their new places); format of the shared catalogues:
M = {path: [(id, description, original text, mutant text)]}."""

M = {}

M["pravik/show/show_loading.cpp"] = [
    (3400, "a range's end counted from the list's start, not from its first screen",
     "std::min(count, first + range.count);",
     "std::min(count, MUT(3400) ? range.count : first + range.count);"),
    (3401, "the preview stops at a screen's last problem, not at the first Send All meets",
     "            return screen.problems.first();",
     "            return MUT(3401) ? screen.problems.last() : screen.problems.first();"),
    (3402, "a board sent no pictures says so even beside a screen's own problem",
     "if (loaded.problems.isEmpty() && !boardShowsPictures(sources.settings))",
     "if ((MUT(3402) || loaded.problems.isEmpty()) && !boardShowsPictures(sources.settings))"),
    (3403, "a loaded screen named by its list row, one past its list index",
     "    loaded.index = row - 1;",
     "    loaded.index = MUT(3403) ? row : row - 1;"),
    (3404, "a board too large for its planes drawn anyway, without the transfer's refusal",
     "tooLarge ? tooLarge : drawLeds(sources, row, canvas, loaded.screen.leds)",
     "(tooLarge && !MUT(3404)) ? tooLarge : drawLeds(sources, row, canvas, loaded.screen.leds)"),
    (3410, "each screen played with the properties of the next row (was 2035)",
     "sources.vocabulary, std::uint8_t(row - 1));",
     "sources.vocabulary, std::uint8_t(MUT(3410) ? row : row - 1));"),
]

M["pravik/show/show_pass.cpp"] = [
    (3405, "the pass order weighs a screen no more than a phase: one pass ends at a later "
     "screen's entry",
     "    return moment.screen * 3 + int(moment.phase);",
     "    return moment.screen * (MUT(3405) ? 1 : 3) + int(moment.phase);"),
    (3415, "one pass runs on where the list starts again (was 2045)",
     "        if (passOrder(at) < passOrder(moment))\n            break;",
     "        if (passOrder(at) < passOrder(moment) && !MUT(3415))\n            break;"),
]

M["pravik/show/animated_gif.cpp"] = [
    (3411, "frame delay written in milliseconds, not hundredths (was 2041)",
     "std::int64_t delayCs = std::max<std::int64_t>(1, (delayMs + 5) / 10);",
     "std::int64_t delayCs = std::max<std::int64_t>(1, MUT(3411) ? delayMs : (delayMs + 5) / 10);"),
    (3412, "loop block counts every play, not the repeats (was 2042)",
     "const int repeats = loops == 0 ? 0 : loops - 1;",
     "const int repeats = loops == 0 ? 0 : (MUT(3412) ? loops : loops - 1);"),
    (3413, "frames disposed to the background: only the changed part stays on screen (was 2043)",
     "    control.DisposalMode = DISPOSE_DO_NOT;",
     "    control.DisposalMode = MUT(3413) ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;"),
    (3414, "changed part starts at the last changed row, not the first (was 2044)",
     "        if (top < 0)\n            top = y;",
     "        if (top < 0 || MUT(3414))\n            top = y;"),
]

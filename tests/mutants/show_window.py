"""Faults of the show window's restart after the end and of its caption's
times at the speed played (3300-3319); format of the shared catalogues:
M = {path: [(id, description, original text, mutant text)]}."""

M = {}

M["pravik/show_window/show_window.cpp"] = [
    (3300, "restart after the end shows the first screen but stays paused",
     "        if (ended)\n            setPlaying(true);",
     "        if (ended && !MUT(3300))\n            setPlaying(true);"),
    (3301, "a change of speed keeps the caption of the old speed until the next phase",
     "        showPlayer(true); // the caption's times are those of the new speed",
     "        if (!MUT(3301))\n            showPlayer(true);"),
]

M["pravik/show_window/show_caption.cpp"] = [
    (3302, "caption times multiplied by the speed factor instead of divided",
     "QString::number(double(boardMs) / speedFactor / 1000, 'f', 4)",
     "QString::number((MUT(3302) ? double(boardMs) * speedFactor : double(boardMs) / speedFactor) / 1000, 'f', 4)"),
    (3303, "the stay time given at the board's pace, only the effects at the speed played",
     "secondsText(stayMs(byte(properties.stayTime)), speedFactor)",
     "secondsText(stayMs(byte(properties.stayTime)), MUT(3303) ? 1.0 : speedFactor)"),
    (3304, "times cut to the hundredth: a step at four times the speed shows as 0 seconds",
     "/ 1000, 'f', 4)",
     "/ 1000, 'f', MUT(3304) ? 2 : 4)"),
]

#pragma once

#include "pravik/show/show.h"

#include <QString>

namespace pravik::document {
struct Vocabulary;
}

namespace pravik::show_window {

// The board's firmware alone knows the real times; the window says so.
inline const QString kTimingNote = QStringLiteral("时间为近似值");

// The caption line of the screen playing: its number as the grid shows it,
// how it comes in, stays and goes out with the times they take on the screen
// when watched at `speedFactor` (the board's own at 1), the phase playing in
// 【】, and "特种幕" for a special screen. A random choice is named, with its
// time, while it plays.
QString showCaption(int screen, const show::ScreenProperties &properties,
                    const show::ShowMoment &moment, const document::Vocabulary &vocabulary,
                    int boardWidth, int boardHeight, double speedFactor);

// The caption when the list holds no screen to play, and when a play that
// does not loop has shown the last screen.
inline const QString kNoScreensCaption = QStringLiteral("没有可显示的画面");
inline const QString kEndCaption = QStringLiteral("放映结束");

} // namespace pravik::show_window

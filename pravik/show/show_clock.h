#pragma once

#include "led_image.h"

#include <QTime>

namespace pravik::show {

// The time of day as a "显示时间" screen shows it: HH:MM:SS in the board's
// text font, laid out like a plain-text screen, on a board of this size and
// type.
LedImage clockLeds(QTime time, int width, int height, int screenType);

} // namespace pravik::show

#pragma once

#include "pravik/document/board_settings.h"
#include "pravik/show/led_image.h"

#include <string>

// LEDs written as digits, a row per line ('/' between rows): 0 off, 1 red,
// 2 green, 3 yellow.
inline pravik::show::LedImage ledsOf(const std::string &rows)
{
    const std::size_t width = rows.find('/');
    const int w = int(width == std::string::npos ? rows.size() : width);
    const int h = int(rows.size() + 1) / (w + 1);
    pravik::show::LedImage leds(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            leds.set(x, y, pravik::show::LedState(rows[std::size_t(y * (w + 1) + x)] - '0'));
    return leds;
}

inline std::string textOf(const pravik::show::LedImage &leds)
{
    std::string rows;
    for (int y = 0; y < leds.height(); ++y) {
        if (y > 0)
            rows += '/';
        for (int x = 0; x < leds.width(); ++x)
            rows += char('0' + leds.at(x, y));
    }
    return rows;
}

inline pravik::document::BoardSettings boardOf(int width, int height, int type)
{
    pravik::document::BoardSettings settings;
    settings.scrwidth = std::int16_t(width);
    settings.scrhigh = std::int16_t(height);
    settings.scrtype = std::int16_t(type);
    return settings;
}

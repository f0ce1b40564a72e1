#include "show_caption.h"

#include "pravik/document/vocabulary.h"
#include "pravik/show/show_effects.h"
#include "pravik/show/show_timing.h"

#include <algorithm>
#include <cmath>

namespace pravik::show_window {
namespace {

using namespace pravik::show;

template <std::size_t N> QString nameOf(const std::array<QString, N> &names, int code)
{
    return code >= 0 && std::size_t(code) < N ? names[std::size_t(code)] : QString::number(code);
}

// The time a part of the board's `boardMs` takes when watched at
// `speedFactor`, as the show plays it: whole seconds plainly, shorter times
// as exactly as they come. Board times are steps of 10 ms, so even at four
// times the speed (2.5 ms a step) four decimals are enough.
QString secondsText(std::int64_t boardMs, double speedFactor)
{
    if (!std::isfinite(speedFactor) || speedFactor <= 0)
        speedFactor = 1; // the show plays such a factor at the board's own pace
    QString text = QString::number(double(boardMs) / speedFactor / 1000, 'f', 4);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text + QStringLiteral("秒");
}

// One part of the caption: its label, the name of what plays and its time.
// A random choice has a time only once it is made, that is while it plays.
QString part(const QString &label, const QString &randomName, bool random, bool playing,
             const QString &playedName, const QString &time)
{
    QString text = label + u' ';
    if (random) {
        text += randomName;
        if (playing)
            text += QStringLiteral("→") + playedName;
    } else {
        text += playedName;
    }
    if ((!random || playing) && !time.isEmpty())
        text += u' ' + time;
    return playing ? QStringLiteral("【") + text + QStringLiteral("】") : text;
}

} // namespace

QString showCaption(int screen, const ScreenProperties &properties, const ShowMoment &moment,
                    const document::Vocabulary &vocabulary, int boardWidth, int boardHeight,
                    double speedFactor)
{
    const bool current = moment.screen >= 0;
    const auto playing = [&](ShowPhase phase) { return current && moment.phase == phase; };
    const auto byte = [](int value) { return std::clamp(value, 0, 255); };
    const auto effectPart = [&](const QString &label, const std::array<QString, 33> &names,
                                int code, int speed, ShowPhase phase) {
        const int played = playing(phase) ? moment.code : code;
        const std::int64_t ms = effectSteps(played, boardWidth, boardHeight) * stepMs(byte(speed));
        return part(label, names[RandomEffect], code == RandomEffect, playing(phase),
                    nameOf(names, played), secondsText(ms, speedFactor));
    };

    const int stay = playing(ShowPhase::Stay) ? moment.code : properties.stayMode;
    const bool randomStay = properties.stayMode >= RandomStay && properties.stayMode < ShowClock;
    const QString stayTime =
        stay == NoStay ? QString() : secondsText(stayMs(byte(properties.stayTime)), speedFactor);

    QString caption = QStringLiteral("第 %1 幕  ").arg(screen);
    caption += effectPart(QStringLiteral("引入"), vocabulary.entryEffects, properties.entryEffect,
                          properties.entrySpeed, ShowPhase::Entry);
    caption += QStringLiteral(" | ");
    caption += part(QStringLiteral("停留"), vocabulary.stayModes[RandomStay], randomStay,
                    playing(ShowPhase::Stay), nameOf(vocabulary.stayModes, stay), stayTime);
    caption += QStringLiteral(" | ");
    caption += effectPart(QStringLiteral("引出"), vocabulary.exitEffects, properties.exitEffect,
                          properties.exitSpeed, ShowPhase::Exit);
    if (properties.stayMode == Special1 || properties.stayMode == Special2)
        caption += QStringLiteral("  特种幕");
    return caption;
}

} // namespace pravik::show_window

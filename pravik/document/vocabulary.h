#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>

namespace pravik::document {

// The names a screen uses for its effects, stay mode and display kind. The
// position of a name in its list is its code on the wire.
struct Vocabulary
{
    std::array<QString, 33> entryEffects;
    std::array<QString, 33> exitEffects;
    std::array<QString, 17> stayModes;
    std::array<QString, 17> displayKinds;
};

// How many names of each list the drop-down lists offer.
inline constexpr int kOfferedEffects = 16;     // the fifteen effects and the first spare
inline constexpr int kOfferedStayModes = 11;
inline constexpr int kOfferedDisplayKinds = 4;

void fillVocabulary(Vocabulary &vocabulary);

// Effect code of an entry or exit effect name: its position among the fifteen
// real effects (0..14), or 7 ("向左移动") for any other text, spare names included.
std::int16_t effectCode(const Vocabulary &vocabulary, QStringView name);

// Stay-mode code of a name: its first position among 0..10 ("随机" stands four
// times and always gives 4), or 3 ("连续显示") for any other text.
std::int16_t stayModeCode(const Vocabulary &vocabulary, QStringView name);

} // namespace pravik::document

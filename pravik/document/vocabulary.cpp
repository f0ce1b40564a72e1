#include "vocabulary.h"

namespace pravik::document {
namespace {

constexpr int kSearchedEffects = 15;
constexpr int kSearchedStayModes = 11;
constexpr std::int16_t kUnknownEffect = 7;
constexpr std::int16_t kUnknownStayMode = 3;

template <std::size_t N>
std::int16_t firstPosition(const std::array<QString, N> &names, int searched, QStringView name,
                           std::int16_t fallback)
{
    for (int p = 0; p < searched; ++p) {
        if (names[static_cast<std::size_t>(p)] == name)
            return static_cast<std::int16_t>(p);
    }
    return fallback;
}

} // namespace

void fillVocabulary(Vocabulary &vocabulary)
{
    static const char16_t *const effects[] = {
        u"向右展开", u"向左展开", u"向中展开", u"向边展开", u"向下展开", u"向上展开",
        u"向右移动", u"向左移动", u"向中移动", u"向边移动", u"向下移动", u"向上移动",
        u"立即显示", u"随机",     u"动画/连续",
    };
    vocabulary.entryEffects.fill(QString());
    for (std::size_t p = 0; p < std::size(effects); ++p)
        vocabulary.entryEffects[p] = QString::fromUtf16(effects[p]);
    for (int spare = 1; spare <= 17; ++spare)
        vocabulary.entryEffects[static_cast<std::size_t>(14 + spare)] =
            QStringLiteral("备用") + QString::number(spare);
    vocabulary.exitEffects = vocabulary.entryEffects;

    static const char16_t *const stayModes[] = {
        u"画面停留", u"亮灭闪烁", u"正反闪烁", u"连续显示", u"随机",    u"随机",
        u"随机",     u"随机",     u"显示时间", u"特种幕1",  u"特种幕2",
    };
    vocabulary.stayModes.fill(QString());
    for (std::size_t p = 0; p < std::size(stayModes); ++p)
        vocabulary.stayModes[p] = QString::fromUtf16(stayModes[p]);

    static const char16_t *const displayKinds[] = {
        u"显示图片", u"显示温度", u"显示时间", u"时间-温度"};
    vocabulary.displayKinds.fill(QString());
    for (std::size_t p = 0; p < std::size(displayKinds); ++p)
        vocabulary.displayKinds[p] = QString::fromUtf16(displayKinds[p]);
}

std::int16_t effectCode(const Vocabulary &vocabulary, QStringView name)
{
    return firstPosition(vocabulary.entryEffects, kSearchedEffects, name, kUnknownEffect);
}

std::int16_t stayModeCode(const Vocabulary &vocabulary, QStringView name)
{
    return firstPosition(vocabulary.stayModes, kSearchedStayModes, name, kUnknownStayMode);
}

} // namespace pravik::document

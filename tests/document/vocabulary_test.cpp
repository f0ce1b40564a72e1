#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"

#include <gtest/gtest.h>

using namespace pravik::document;

namespace {
Vocabulary filled()
{
    Vocabulary v;
    fillVocabulary(v);
    return v;
}
} // namespace

TEST(Vocabulary, EffectCodesArePositionsAmongTheFifteenEffects)
{
    const Vocabulary v = filled();
    EXPECT_EQ(effectCode(v, u"向右展开"), 0);
    EXPECT_EQ(effectCode(v, u"向上移动"), 11);
    EXPECT_EQ(effectCode(v, u"动画/连续"), 14);
    EXPECT_EQ(effectCode(v, u"随机"), 13);
    // Spare names, unknown and empty texts, and near misses all fall back to 7.
    EXPECT_EQ(effectCode(v, u"备用1"), 7);
    EXPECT_EQ(effectCode(v, u"备用17"), 7);
    EXPECT_EQ(effectCode(v, u""), 7);
    EXPECT_EQ(effectCode(v, u" 向右展开"), 7);
    EXPECT_EQ(v.exitEffects, v.entryEffects);
}

TEST(Vocabulary, StayModeCodesFallBackToContinuous)
{
    const Vocabulary v = filled();
    EXPECT_EQ(stayModeCode(v, u"画面停留"), 0);
    EXPECT_EQ(stayModeCode(v, u"随机"), 4);
    EXPECT_EQ(stayModeCode(v, u"显示时间"), 8);
    EXPECT_EQ(stayModeCode(v, u"特种幕2"), 10);
    EXPECT_EQ(stayModeCode(v, u"向右展开"), 3);
    EXPECT_EQ(stayModeCode(v, u" 画面停留"), 3);
}

TEST(ScreenListInit, FreshListHas239EmptyScreensWithDefaults)
{
    ScreenList list;
    initScreenList(list);
    EXPECT_EQ(list.rowCount(), 240);
    EXPECT_EQ(list.screenCount(), 0);
    EXPECT_EQ(list.text(239, NumberColumn), QStringLiteral("238"));
    EXPECT_EQ(list.text(1, NumberColumn), QStringLiteral("0"));
    const ScreenEntry fresh{QString(),           QStringLiteral("向右展开"), QStringLiteral("1"),
                            QStringLiteral("画面停留"), QStringLiteral("1"),
                            QStringLiteral("显示图片"), QStringLiteral("向右展开"), QStringLiteral("1")};
    EXPECT_EQ(list.entry(120), fresh);
}

TEST(ScreenListInit, RestoresTheRowCountAfterInsertsAndDeletes)
{
    ScreenList list;
    initScreenList(list);
    for (int i = 0; i < 10; ++i)
        list.removeRow(1);
    initScreenList(list);
    EXPECT_EQ(list.rowCount(), 240);
    list.insertRow(3, defaultScreenRow(QStringLiteral(" 2")));
    list.insertRow(3, defaultScreenRow(QStringLiteral(" 2")));
    EXPECT_EQ(list.rowCount(), 242);
    initScreenList(list);
    EXPECT_EQ(list.rowCount(), 240);
    EXPECT_EQ(list.text(3, NumberColumn), QStringLiteral("2"));
}

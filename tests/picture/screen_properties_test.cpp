#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/picture/screen_properties.h"

#include "common/recording_prompter.h"

#include <gtest/gtest.h>

using namespace pravik::document;
using namespace pravik::picture;

namespace {

class ScreenPropertiesTest : public ::testing::Test
{
protected:
    ScreenPropertiesTest()
    {
        fillVocabulary(vocabulary);
        initScreenList(screens);
    }

    QByteArray payload(int screen)
    {
        QString problem;
        const auto bytes = screenPropertiesPayload(screens, vocabulary,
                                                   static_cast<std::uint8_t>(screen), problem);
        EXPECT_TRUE(bytes.has_value()) << problem.toStdString();
        return bytes.value_or(QByteArray());
    }

    Vocabulary vocabulary;
    ScreenList screens;
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

} // namespace

TEST_F(ScreenPropertiesTest, FreshRowSendsDefaultCodes)
{
    EXPECT_EQ(payload(0), bytes({4, 0, 0, 0xFE, 0, 1, 0, 1, 0, 1}) + QByteArray(12, '\0'));
}

TEST_F(ScreenPropertiesTest, NamesBecomeTheirCodes)
{
    screens.setText(4, EntryEffectColumn, QStringLiteral("备用3"));
    screens.setText(4, EntrySpeedColumn, QStringLiteral("255"));
    screens.setText(4, ExitEffectColumn, QStringLiteral("动画/连续"));
    screens.setText(4, ExitSpeedColumn, QStringLiteral("0"));
    screens.setText(4, StayModeColumn, QStringLiteral("随机"));
    screens.setText(4, StayTimeColumn, QStringLiteral(" 30 "));
    EXPECT_EQ(payload(3).left(10), bytes({4, 3, 0, 0xFE, 7, 255, 14, 0, 4, 30}));

    screens.setText(5, StayModeColumn, QStringLiteral("不知道"));
    EXPECT_EQ(static_cast<int>(payload(4)[8]), 3);
}

TEST_F(ScreenPropertiesTest, CellsThatAreNoByteAreRefused)
{
    for (const char16_t *bad : {u"256", u"-1", u"abc", u"", u"3x"}) {
        screens.setText(2, StayTimeColumn, QString::fromUtf16(bad));
        common::RecordingPrompter prompter;
        int exchanges = 0;
        const auto result = sendScreenProperties(
            [&](QByteArray &, int) {
                ++exchanges;
                return pravik::link::ExchangeResult::Ok;
            },
            prompter, screens, vocabulary, 1);
        EXPECT_FALSE(result.has_value());
        EXPECT_EQ(exchanges, 0);
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("第 1 幕的停留时间")))
            << prompter.messages()[0].text.toStdString();
    }
}

TEST_F(ScreenPropertiesTest, ExchangeResultIsPassedUp)
{
    common::RecordingPrompter prompter;
    QByteArray sent;
    const auto result = sendScreenProperties(
        [&](QByteArray &buffer, int checksumIndex) {
            EXPECT_EQ(checksumIndex, 21);
            sent = buffer;
            return pravik::link::ExchangeResult::WrongEcho;
        },
        prompter, screens, vocabulary, 0);
    EXPECT_EQ(result, pravik::link::ExchangeResult::WrongEcho);
    EXPECT_EQ(sent.size(), 22);
}

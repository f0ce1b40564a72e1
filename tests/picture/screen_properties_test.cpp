#include "pravik/document/screen_list.h"
#include "pravik/document/vocabulary.h"
#include "pravik/picture/screen_properties.h"

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
        const common::Expected<QByteArray> bytes =
            screenPropertiesPayload(screens, vocabulary, std::uint8_t(screen));
        EXPECT_TRUE(bytes) << bytes.failure().text.toStdString();
        return bytes ? *bytes : QByteArray();
    }

    // Sends screen 2's properties; every packet gets `answer`.
    common::Status send(common::Status answer = {})
    {
        return sendScreenProperties(
            [&](QByteArray &buffer, int checksumIndex) {
                EXPECT_EQ(checksumIndex, 21);
                sent.append(buffer);
                return answer;
            },
            screens, vocabulary, 1);
    }

    Vocabulary vocabulary;
    ScreenList screens;
    QList<QByteArray> sent;
};

} // namespace

TEST_F(ScreenPropertiesTest, NamesBecomeTheirCodesAndAFreshRowSendsTheDefaults)
{
    EXPECT_EQ(payload(0), QByteArray::fromHex("040000fe000100010001") + QByteArray(12, '\0'));
    screens.setText(4, EntryEffectColumn, QStringLiteral("备用3"));
    screens.setText(4, EntrySpeedColumn, QStringLiteral("255"));
    screens.setText(4, ExitEffectColumn, QStringLiteral("动画/连续"));
    screens.setText(4, ExitSpeedColumn, QStringLiteral("0"));
    screens.setText(4, StayModeColumn, QStringLiteral("随机"));
    screens.setText(4, StayTimeColumn, QStringLiteral(" 30 "));
    EXPECT_EQ(payload(3).left(10), QByteArray::fromHex("040300fe07ff0e00041e"));

    screens.setText(5, StayModeColumn, QStringLiteral("不知道"));
    EXPECT_EQ(payload(4)[8], 3);
}

TEST_F(ScreenPropertiesTest, CellsThatAreNoByteAreRefused)
{
    for (const char16_t *bad : {u"256", u"-1", u"abc", u"", u"3x"}) {
        screens.setText(2, StayTimeColumn, QString::fromUtf16(bad));
        const common::Status refused = send();
        ASSERT_TRUE(refused.has_value());
        EXPECT_TRUE(sent.isEmpty());
        EXPECT_EQ(refused->code, 1);
        EXPECT_TRUE(refused->text.startsWith(QStringLiteral("第 1 幕的停留时间")))
            << refused->text.toStdString();
    }
}

TEST_F(ScreenPropertiesTest, ExchangeResultIsPassedUp)
{
    const common::Failure wrongEcho{3, QStringLiteral("校验错误"), QStringLiteral("SEND 1")};
    EXPECT_EQ(send(wrongEcho), wrongEcho);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].size(), 22);
}

#include "display_file_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace pravik::cli;
using namespace pravik::document;

namespace {

QJsonObject parse(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

QString errorOf(const char *json)
{
    QString error;
    const auto content = displayFileFromJson(parse(json), error);
    EXPECT_FALSE(content.has_value()) << json;
    return error;
}

} // namespace

TEST(DisplayFileJson, MissingValuesTakeTheStartDefaults)
{
    QString error;
    const auto content = displayFileFromJson(parse(R"({"settings": {"baud": 9600},
        "screens": [{"picture": "a.bmp", "stayTime": "4"}]})"), error);
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->settings.port, 1);
    EXPECT_EQ(content->settings.baud, 9600);
    EXPECT_EQ(content->settings.scrwidth, 160);
    EXPECT_EQ(content->screens.text(1, StayTimeColumn), QStringLiteral("4"));
    EXPECT_EQ(content->screens.text(1, EntryEffectColumn), QStringLiteral("向右展开"));
}

TEST(DisplayFileJson, ValuesTheFileCannotCarryAreRefused)
{
    EXPECT_TRUE(errorOf(R"({"screens": []})").startsWith(u"settings:"));
    EXPECT_TRUE(errorOf(R"({"settings": {"port": 17}})").startsWith(u"settings.port"));
    EXPECT_TRUE(errorOf(R"({"settings": {"port": "1"}})").startsWith(u"settings.port"));
    EXPECT_TRUE(errorOf(R"({"settings": {"baud": 1152000}})").startsWith(u"settings.baud"));
    EXPECT_TRUE(errorOf(R"({"settings": {"baud": 9600.5}})").startsWith(u"settings.baud"));
    EXPECT_TRUE(errorOf(R"({"settings": {"address": 256}})").startsWith(u"settings.address"));
    EXPECT_TRUE(errorOf(R"({"settings": {"scrwidth": 100}})").startsWith(u"settings.scrwidth"));
    EXPECT_TRUE(errorOf(R"({"settings": {"scrwidth": 10000}})").startsWith(u"settings.scrwidth"));
    EXPECT_TRUE(errorOf(R"({"settings": {"scrhigh": 0}})").startsWith(u"settings.scrhigh"));
    EXPECT_TRUE(errorOf(R"({"settings": {"feedback": 2}})").startsWith(u"settings.feedback"));
    EXPECT_TRUE(errorOf(R"({"settings": {"port": 0, "ipAddress": "1.2.3.4.5"}})")
                    .startsWith(u"settings.ipAddress"));
    EXPECT_TRUE(errorOf(R"({"settings": {}, "screens": {}})").startsWith(u"screens:"));
    EXPECT_TRUE(errorOf(R"({"settings": {}, "screens": [{"stayTime": "1"}]})")
                    .startsWith(u"screens[0].picture"));
    EXPECT_TRUE(errorOf(R"({"settings": {}, "screens": [{"picture": "a\"b.bmp"}]})")
                    .startsWith(u"screens[0].picture"));
    EXPECT_TRUE(errorOf(R"({"settings": {}, "screens": [{"picture": "a.bmp", "exitSpeed": 1}]})")
                    .startsWith(u"screens[0].exitSpeed"));
}

TEST(DisplayFileJson, AtMost239Screens)
{
    QJsonArray screens;
    for (int i = 0; i < 240; ++i)
        screens.append(QJsonObject{{"picture", QStringLiteral("%1.bmp").arg(i)}});
    QString error;
    QJsonObject object{{"settings", QJsonObject{}}, {"screens", screens}};
    EXPECT_FALSE(displayFileFromJson(object, error).has_value());
    EXPECT_TRUE(error.startsWith(u"screens:"));
    screens.removeLast();
    object["screens"] = screens;
    const auto content = displayFileFromJson(object, error);
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->screens.screenCount(), 239);
}

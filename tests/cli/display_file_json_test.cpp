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

} // namespace

TEST(DisplayFileJson, MissingValuesTakeTheStartDefaults)
{
    const auto content = displayFileFromJson(parse(R"({"settings": {"baud": 9600},
        "screens": [{"picture": "a.bmp", "stayTime": "4"}]})"));
    ASSERT_TRUE(content.ok());
    EXPECT_EQ(content->settings.port, 1);
    EXPECT_EQ(content->settings.baud, 9600);
    EXPECT_EQ(content->settings.scrwidth, 160);
    EXPECT_EQ(content->screens.text(1, StayTimeColumn), QStringLiteral("4"));
    EXPECT_EQ(content->screens.text(1, EntryEffectColumn), QStringLiteral("向右展开"));
}

TEST(DisplayFileJson, ValuesTheFileCannotCarryAreRefused)
{
    const std::pair<const char *, const char *> cases[] = {
        {R"({"screens": []})", "settings:"},
        {R"({"settings": {"port": 17}})", "settings.port"},
        {R"({"settings": {"port": "1"}})", "settings.port"},
        {R"({"settings": {"baud": 1152000}})", "settings.baud"},
        {R"({"settings": {"baud": 9600.5}})", "settings.baud"},
        {R"({"settings": {"address": 256}})", "settings.address"},
        {R"({"settings": {"scrwidth": 100}})", "settings.scrwidth"},
        {R"({"settings": {"scrwidth": 10000}})", "settings.scrwidth"},
        {R"({"settings": {"scrhigh": 0}})", "settings.scrhigh"},
        {R"({"settings": {"feedback": 2}})", "settings.feedback"},
        {R"({"settings": {"port": 0, "ipAddress": "1.2.3.4.5"}})", "settings.ipAddress"},
        {R"({"settings": {}, "screens": {}})", "screens:"},
        {R"({"settings": {}, "screens": [{"stayTime": "1"}]})", "screens[0].picture"},
        {R"({"settings": {}, "screens": [{"picture": "a\"b.bmp"}]})", "screens[0].picture"},
        {R"({"settings": {}, "screens": [{"picture": "a.bmp", "exitSpeed": 1}]})",
         "screens[0].exitSpeed"},
    };
    for (const auto &[json, field] : cases) {
        const auto content = displayFileFromJson(parse(json));
        ASSERT_FALSE(content.ok()) << json;
        EXPECT_TRUE(content.failure().text.startsWith(QLatin1String(field)))
            << json << " " << content.failure().text.toStdString();
    }
}

TEST(DisplayFileJson, AtMost239Screens)
{
    QJsonArray screens;
    for (int i = 0; i < 240; ++i)
        screens.append(QJsonObject{{"picture", QStringLiteral("%1.bmp").arg(i)}});
    QJsonObject object{{"settings", QJsonObject{}}, {"screens", screens}};
    const auto tooMany = displayFileFromJson(object);
    ASSERT_FALSE(tooMany.ok());
    EXPECT_TRUE(tooMany.failure().text.startsWith(u"screens:"));
    screens.removeLast();
    object["screens"] = screens;
    const auto content = displayFileFromJson(object);
    ASSERT_TRUE(content.ok());
    EXPECT_EQ(content->screens.screenCount(), 239);
}

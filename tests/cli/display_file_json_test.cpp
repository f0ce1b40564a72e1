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

TEST(DisplayFileJson, WhatIsPrintedReadsBackUnchanged)
{
    BoardSettings settings;
    settings.port = 0;
    settings.ipAddress = QStringLiteral("10.1.2.3");
    settings.ipOctets = {10, 1, 2, 3};
    settings.ipPort = 5000;
    settings.setBusAddress(7);
    settings.scrtype = 2;
    settings.scrwidth = 64;
    settings.scrhigh = 16;
    ScreenList screens;
    initScreenList(screens);
    screens.setText(1, PictureColumn, QStringLiteral("C:\\图片\\a.bmp"));
    screens.setText(1, StayModeColumn, QStringLiteral("随机"));
    screens.setText(2, PictureColumn, QStringLiteral("b.txt"));

    const QJsonObject json = displayFileJson(settings, screens, {});
    EXPECT_EQ(json["screens"].toArray().size(), 2);
    EXPECT_EQ(json["settings"]["ipOctets"].toArray(), (QJsonArray{10, 1, 2, 3}));

    QString error;
    const auto back = displayFileFromJson(json, error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(back->settings, settings);
    EXPECT_EQ(back->screens, screens);
}

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

#include "pravik/settings/settings_form.h"

#include <gtest/gtest.h>

using namespace pravik::settings;

namespace {

// The fields of a board dialog, all valid, on the given link.
SettingsForm validForm(const char *link)
{
    return {QString::fromLatin1(link), {"10", "0", "0", "9"}, "1973", "1", "160", "32", 1, "28800"};
}

// A field by a short name: link, ip0 ... ip3, port, address, width, height.
QString &fieldText(SettingsForm &form, const QByteArray &name)
{
    if (name.startsWith("ip"))
        return form.ipBoxes.at(static_cast<std::size_t>(name.back() - '0'));
    return name == "port"      ? form.ipPort
           : name == "address" ? form.address
           : name == "width"   ? form.width
           : name == "height"  ? form.height
                               : form.link;
}

} // namespace

TEST(SettingsFormApply, RefusesAWrongValueAndStoresNothing)
{
    // link, field, texts typed into it, the field refused, the message
    const std::tuple<const char *, QByteArray, QStringList, FormField, QString> cases[] = {
        {"COM1", "link", {"LPT1", "COM17", ""}, FormField::Link, kLinkErrorText},
        {"COM1", "width", {"2520", "100", "0"}, FormField::Width, "屏宽错误"},
        {"COM1", "height", {"513", "0"}, FormField::Height, "屏高错误"},
        {"COM1", "address", {"", "256", "-1"}, FormField::Address, "屏号错误"},
        {"EtherNet", "ip0", {"256"}, FormField::IpBox0, "屏号错误"},
        {"EtherNet", "ip1", {""}, FormField::IpBox1, "屏号错误"},
        {"EtherNet", "ip2", {"-1"}, FormField::IpBox2, "屏号错误"},
        {"EtherNet", "ip3", {"300"}, FormField::IpBox3, "屏号错误"},
        {"EtherNet", "port", {"abc", "0", "65536", "70000"}, FormField::IpPort, kIpPortErrorText},
    };
    for (const auto &[link, field, texts, refused, message] : cases) {
        for (const QString &typed : texts) {
            SCOPED_TRACE((field + "=" + typed.toUtf8()).toStdString());
            SettingsForm form = validForm(link);
            fieldText(form, field) = typed;
            pravik::document::BoardSettings settings;
            const std::optional<Rejection> rejection = storeSettingsForm(form, settings);
            ASSERT_TRUE(rejection.has_value());
            EXPECT_EQ(rejection->field, refused);
            EXPECT_EQ(rejection->message, message);
            EXPECT_EQ(settings, pravik::document::BoardSettings());
        }
    }
}

TEST(SettingsFormApply, AcceptsTheLimitsAndStoresWholeNumbers)
{
    const std::tuple<QByteArray, QString, int> cases[] = {
        {"width", "2512", 2512},  {"width", "16.4", 16}, {"width", "8", 8},
        {"height", "512", 512},   {"height", "1", 1},    {"address", "0", 0},
        {"address", "255", 255},  {"address", "7.5", 8}, {"port", "1", 1},
        {"port", "65535", 65535}, {"port", " 80 ", 80}};
    for (const auto &[field, typed, stored] : cases) {
        SCOPED_TRACE((field + "=" + typed.toUtf8()).toStdString());
        SettingsForm form = validForm("EtherNet");
        fieldText(form, field) = typed;
        pravik::document::BoardSettings settings;
        ASSERT_FALSE(storeSettingsForm(form, settings).has_value());
        EXPECT_EQ(field == "width"    ? settings.scrwidth
                  : field == "height" ? settings.scrhigh
                  : field == "port"   ? settings.ipPort
                                      : settings.busAddress(),
                  stored);
    }
}

TEST(SettingsFormApply, OnEthernetTheAddressIsStoredEvenWhenALaterValueIsRefused)
{
    SettingsForm form = validForm("EtherNet");
    form.ipBoxes = {"1", "2", "abc", "4"};
    form.ipPort = "4000";
    form.width = "100";
    pravik::document::BoardSettings settings;
    const std::optional<Rejection> rejection = storeSettingsForm(form, settings);
    ASSERT_TRUE(rejection.has_value());
    EXPECT_EQ(rejection->field, FormField::Width);
    // Letters in a box count as 0.
    EXPECT_EQ(settings.ipAddress, QStringLiteral("1.2.0.4"));
    EXPECT_EQ(settings.ipOctets, (std::array<std::int16_t, 4>{1, 2, 0, 4}));
    EXPECT_EQ(settings.ipPort, 4000);
    EXPECT_EQ(settings.scrwidth, 160);
    EXPECT_EQ(settings.port, 1);
}

TEST(SettingsFormCorrection, OutOfRangeValuesAreReplacedWhenTheFieldIsLeft)
{
    // the field, texts it replaces, the replacement, texts it keeps
    const std::tuple<CorrectedField, QStringList, QString, QStringList> cases[] = {
        {CorrectedField::Height, {"0", "513"}, "64", {"512"}},
        {CorrectedField::Width, {"100", "2520", "-8"}, "80", {"2512"}},
        {CorrectedField::Address, {"256", "-1"}, "255", {"", "0"}},
        {CorrectedField::FirstScreen, {"96", "-1"}, "0", {"95"}},
        {CorrectedField::ScreenCount, {"239"}, "1", {"238"}},
    };
    for (const auto &[field, wrong, replacement, kept] : cases) {
        for (const QString &text : wrong)
            EXPECT_EQ(correctedText(field, text), replacement) << text.toStdString();
        for (const QString &text : kept)
            EXPECT_EQ(correctedText(field, text), std::nullopt) << text.toStdString();
    }
}

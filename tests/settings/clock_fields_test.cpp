#include "settings_fixture.h"

#include "pravik/settings/clock_fields.h"
#include "pravik/settings/clock_group.h"

#include <QComboBox>
#include <QPushButton>

using namespace pravik::settings;

TEST(ClockFieldRules, NormalisingKeepsTheSizeOfTheWholeNumberBelow)
{
    const struct
    {
        const char *text;
        const char *normalised;
    } cases[] = {
        {"-3.7", "4"}, {"12.9", "12"}, {"abc", "0"}, {"", "0"},        {"7", "7"},
        {"-0.2", "1"}, {"9x", "9"},    {"0", "0"},   {"2004", "2004"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(normalisedText(QString::fromLatin1(c.text)), QString::fromLatin1(c.normalised))
            << c.text;
}

TEST(ClockFieldRules, TheMonthCheckKnowsEachMonthsLength)
{
    const struct
    {
        const char *month;
        const char *day;
        const char *checkedMonth;
        const char *checkedDay;
    } cases[] = {
        {"1", "31", "1", "31"}, {"12", "31", "12", "31"}, {"12", "32", "12", "1"},
        {"4", "31", "4", "1"},  {"4", "30", "4", "30"},   {"11", "31", "11", "1"},
        {"2", "29", "2", "29"}, {"2", "30", "2", "1"},    {"13", "5", "1", "5"},
        {"0", "40", "1", "40"}, {"2.5", "3", "1", "3"},   {"6", "0", "6", "0"},
    };
    for (const auto &c : cases) {
        const MonthAndDay checked =
            checkedMonthAndDay(QString::fromLatin1(c.month), QString::fromLatin1(c.day));
        EXPECT_EQ(checked.month, QString::fromLatin1(c.checkedMonth)) << c.month << "/" << c.day;
        EXPECT_EQ(checked.day, QString::fromLatin1(c.checkedDay)) << c.month << "/" << c.day;
    }
}

class ClockGroupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QLineEdit *field(const char *name) { return child<QLineEdit>(window, name); }

    // Types into a field and moves on to the year, which corrects nothing.
    void typeAndLeave(const char *name, const QString &text)
    {
        retype(field(name), text);
        focusOn(field(name == QByteArray("TYEAR") ? "TSEC" : "TYEAR"));
    }

    QWidget window;
    ClockGroup *group = new ClockGroup(&window);
};

TEST_F(ClockGroupTest, StartsWithTheFixedValuesAndUtcPlus8)
{
    const pravik::link::ClockFields fields = group->fields();
    EXPECT_EQ(fields.year, QStringLiteral("2004"));
    EXPECT_EQ(fields.month, QStringLiteral("10"));
    EXPECT_EQ(fields.day, QStringLiteral("1"));
    EXPECT_EQ(fields.hour, QStringLiteral("0"));
    EXPECT_EQ(fields.minute, QStringLiteral("0"));
    EXPECT_EQ(fields.second, QStringLiteral("0"));
    EXPECT_EQ(fields.section, QStringLiteral("0"));
    EXPECT_EQ(fields.timeZoneIndex, 19);
    EXPECT_EQ(child<QComboBox>(window, "ComTzone")->currentText(), QStringLiteral("UTC+8"));
}

TEST_F(ClockGroupTest, TimeFieldsAboveTheirLimitBecomeZeroWhenLeft)
{
    const struct
    {
        const char *field;
        const char *typed;
        const char *shown;
    } cases[] = {
        {"THOUR", "24", "0"},        {"THOUR", "23", "23"},     {"THOUR", "-3.7", "4"},
        {"Tmin", "60", "60"},        {"Tmin", "61", "0"},       {"Tsecond", "60", "60"},
        {"Tsecond", "61", "0"},      {"Tsecond", "12.9", "12"}, {"TSEC", "16", "16"},
        {"TSEC", "17", "0"},         {"TSEC", "abc", "0"},      {"TYEAR", "abc", "abc"},
        {"TYEAR", "99999", "99999"},
    };
    for (const auto &c : cases) {
        typeAndLeave(c.field, QString::fromUtf8(c.typed));
        EXPECT_EQ(field(c.field)->text(), QString::fromUtf8(c.shown)) << c.field << " " << c.typed;
    }
}

TEST_F(ClockGroupTest, LeavingTheMonthOrTheDayChecksTheDate)
{
    typeAndLeave("TDay", QStringLiteral("31"));
    typeAndLeave("TMON", QStringLiteral("4"));
    EXPECT_EQ(field("TDay")->text(), QStringLiteral("1"));

    typeAndLeave("TDay", QStringLiteral("31"));
    EXPECT_EQ(field("TDay")->text(), QStringLiteral("1"));
    typeAndLeave("TDay", QStringLiteral("30"));
    EXPECT_EQ(field("TDay")->text(), QStringLiteral("30"));

    typeAndLeave("TMON", QStringLiteral("2"));
    EXPECT_EQ(field("TDay")->text(), QStringLiteral("1"));
    typeAndLeave("TDay", QStringLiteral("29"));
    EXPECT_EQ(field("TDay")->text(), QStringLiteral("29"));

    typeAndLeave("TMON", QStringLiteral("13"));
    EXPECT_EQ(field("TMON")->text(), QStringLiteral("1"));
    EXPECT_EQ(field("TDay")->text(), QStringLiteral("29"));

    field("TMON")->setText(QStringLiteral("13"));
    typeAndLeave("TDay", QStringLiteral("-5.5"));
    EXPECT_EQ(field("TMON")->text(), QStringLiteral("1"));
    EXPECT_EQ(field("TDay")->text(), QStringLiteral("6"));
}

TEST_F(ClockGroupTest, EnteringAFieldSelectsItsTextSoTypingReplacesIt)
{
    for (const char *name : {"TYEAR", "TMON", "TDay", "THOUR", "Tmin", "Tsecond", "TSEC"}) {
        QLineEdit *box = field(name);
        box->setText(QStringLiteral("12"));
        focusOn(child<QPushButton>(window, "Command1"));
        focusOn(box);
        EXPECT_EQ(box->selectedText(), QStringLiteral("12")) << name;
        QTest::keyClicks(box, QStringLiteral("7"));
        EXPECT_EQ(box->text(), QStringLiteral("7")) << name;
    }
}

TEST_F(ClockGroupTest, TheSetButtonAsksForTheClockToBeSent)
{
    int requests = 0;
    QObject::connect(group, &ClockGroup::setClockRequested, [&requests] { ++requests; });
    QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    EXPECT_EQ(requests, 1);
}

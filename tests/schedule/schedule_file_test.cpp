#include "schedule_fixtures.h"

#include "test_files.h"

#include <QTemporaryDir>

using namespace pravik::schedule;

namespace {

constexpr quint8 kMon = 1, kTue = 2, kWed = 4, kFri = 16, kSat = 32, kSun = 64, kDaily = 0x7F;

QDate day(const char *text)
{
    return QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
}

Rule fallback(const QStringList &boards, const QString &file)
{
    return Rule{1, RuleKind::Default, boards, {}, 0, 0, file, std::nullopt};
}

Rule window(const QStringList &boards, const DaySet &days, int start, int end, const QString &file,
            std::optional<DisplayRange> range = std::nullopt)
{
    return Rule{1, RuleKind::Window, boards, days, start, end, file, range};
}

} // namespace

TEST(ScheduleFile, ReadsEachKindOfLine)
{
    const struct
    {
        const char *line;
        Rule rule;
    } cases[] = {
        {"default * lobby/normal.lt", fallback({}, "lobby/normal.lt")},
        {"  default counter   counter/spring prices.lt   # the shop's own",
         fallback({"counter"}, "counter/spring prices.lt")},
        {"default a,b x.lt\t#after a tab", fallback({"a", "b"}, "x.lt")},
        {"window entrance,counter sat,sun 10:00-16:00 range 0 2",
         window({"entrance", "counter"}, {kSat | kSun, {}}, 600, 960, {}, DisplayRange{0, 2})},
        {"window * 2026-12-24..2026-12-26,2027-01-01 all-day file seasonal/xmas.lt",
         window(
             {},
             {0, {{day("2026-12-24"), day("2026-12-26")}, {day("2027-01-01"), day("2027-01-01")}}},
             0, 1440, "seasonal/xmas.lt")},
        {"window kiosk daily 22:00-06:00 range 3 1",
         window({"kiosk"}, {kDaily, {}}, 1320, 360, {}, DisplayRange{3, 1})},
        // Keywords and weekdays in any case; a # inside a word is part of it.
        {"WINDOW * Fri-MON 7:05-24:00 FILE a#b.lt",
         window({}, {kFri | kSat | kSun | kMon, {}}, 425, 1440, "a#b.lt")},
        {"window * mon-wed,fri 06:00-00:00 file ./x.lt#1",
         window({}, {kMon | kTue | kWed | kFri, {}}, 360, 0, "./x.lt#1")},
        {"window * sun-sun,2026-02-28 00:00-23:59 range 238 1",
         window({}, {kSun, {{day("2026-02-28"), day("2026-02-28")}}}, 0, 1439, {},
                DisplayRange{238, 1})},
        {"window * tue 12:00-12:01 range 0 239",
         window({}, {kTue, {}}, 720, 721, {}, DisplayRange{0, 239})},
        {"window * daily all-day file ..x/y..", window({}, {kDaily, {}}, 0, 1440, "..x/y..")},
    };
    for (const auto &c : cases) {
        const common::Expected<Schedule> schedule = parseSchedule(QString::fromUtf8(c.line));
        ASSERT_TRUE(schedule.ok()) << c.line << ": " << schedule.failure().text.toStdString();
        ASSERT_EQ(schedule->rules.size(), 1) << c.line;
        EXPECT_EQ(schedule->rules[0], c.rule) << c.line;
    }
}

TEST(ScheduleFile, KeepsTheClockAndTheRulesLines)
{
    const Schedule shop = scheduleOf(
        "# What the boards show. Later rules win where windows overlap.\r\n"
        "clock 03:30                          # set every day\r\n"
        "\r\n"
        "default  *                 lobby/normal.lt\r\n"
        "default  counter           counter/prices.lt\r\n"
        "#        BOARDS            DAYS                    TIMES          WHAT\r\n"
        "window   *                 mon-fri                 07:00-09:00    file "
        "lobby/morning.lt\r\n"
        "window   kiosk             daily                   22:00-06:00    range 3 1\r\n");
    EXPECT_EQ(shop.clockTime, QTime(3, 30));
    QList<int> lines;
    for (const Rule &rule : shop.rules)
        lines << rule.line;
    EXPECT_EQ(lines, (QList<int>{4, 5, 7, 8}));
    EXPECT_EQ(shop.rules[2].file, QStringLiteral("lobby/morning.lt"));
    EXPECT_EQ(scheduleOf("default * a.lt").clockTime, QTime(4, 0));
}

TEST(ScheduleFile, NamesTheFirstWrongLineAndWord)
{
    const struct
    {
        const char *text;
        const char *message;
    } cases[] = {
        {"clock 03:30\nshow * x.lt\nfoo", "line 2: a rule is clock, default or window, not 'show'"},
        {"clock 3:30 am", "line 1: write clock HH:MM, not 'clock 3:30 am'"},
        {"clock 24:00", "line 1: the clock time is HH:MM from 00:00 to 23:59, not '24:00'"},
        {"clock 03:30\n# later\nclock 04:00",
         "line 3: the clock time is set on line 1 already, not '04:00'"},
        {"default *", "line 1: write default BOARDS PATH, not 'default *'"},
        {"default * # x.lt", "line 1: write default BOARDS PATH, not 'default *'"},
        {"window * daily all-day file",
         "line 1: write window BOARDS DAYS TIMES file PATH or range START COUNT, "
         "not 'window * daily all-day file'"},
        {"window * daily all-day range 1 2 3",
         "line 1: write window BOARDS DAYS TIMES file PATH or range START COUNT, "
         "not 'window * daily all-day range 1 2 3'"},
        {"window * daily all-day show x.lt",
         "line 1: a window shows file PATH or range START COUNT, not 'show'"},
        {"window a,,b daily all-day file x.lt",
         "line 1: the boards are * or names separated by commas, not 'a,,b'"},
        {"window *,a daily all-day file x.lt",
         "line 1: the boards are * or names separated by commas, not '*,a'"},
        {"window * mon,monday all-day file x.lt",
         "line 1: a day is daily, mon to sun, a range such as mon-fri, a date 2026-12-24 or "
         "dates 2026-12-24..2026-12-26, not 'monday'"},
        {"window * 2026-02-29 all-day file x.lt",
         "line 1: a day is daily, mon to sun, a range such as mon-fri, a date 2026-12-24 or "
         "dates 2026-12-24..2026-12-26, not '2026-02-29'"},
        {"window * 2026-12-26..2026-12-24 all-day file x.lt",
         "line 1: dates run from the earlier to the later, not '2026-12-26..2026-12-24'"},
        {"window * daily 7-9 file x.lt",
         "line 1: the times are HH:MM-HH:MM (up to 24:00) or all-day, not '7-9'"},
        {"window * daily 24:00-02:00 file x.lt",
         "line 1: the times are HH:MM-HH:MM (up to 24:00) or all-day, not '24:00-02:00'"},
        {"window * daily 07:60-08:00 file x.lt",
         "line 1: the times are HH:MM-HH:MM (up to 24:00) or all-day, not '07:60-08:00'"},
        {"window * daily 07:00-07:00 file x.lt",
         "line 1: a window that ends when it begins is empty, not '07:00-07:00'"},
        {"window * daily 00:00-00:00 file x.lt",
         "line 1: a window that ends when it begins is empty, not '00:00-00:00'"},
        {"window * daily all-day range 239 1", "line 1: the first screen is 0 to 238, not '239'"},
        {"window * daily all-day range -1 1", "line 1: the first screen is 0 to 238, not '-1'"},
        {"window * daily all-day range 0 0", "line 1: the number of screens is 1 to 239, not '0'"},
        {"window * daily all-day range 0 240",
         "line 1: the number of screens is 1 to 239, not '240'"},
        {"window * daily all-day range 200 40",
         "line 1: the range ends past screen 238, not '200 40'"},
        {"window * daily all-day file /srv/x.lt",
         "line 1: the path is relative to the content folder, not '/srv/x.lt'"},
        {"window * daily all-day file ../x.lt",
         "line 1: the path stays inside the content folder, not '../x.lt'"},
        {"default * lobby/../../x.lt",
         "line 1: the path stays inside the content folder, not 'lobby/../../x.lt'"},
        {"default * lobby/..", "line 1: the path stays inside the content folder, not 'lobby/..'"},
        {"default * lobby\\x.lt", "line 1: folders are separated by /, not 'lobby\\x.lt'"},
    };
    for (const auto &c : cases) {
        const common::Expected<Schedule> schedule = parseSchedule(QString::fromUtf8(c.text));
        ASSERT_FALSE(schedule.ok()) << c.text;
        EXPECT_EQ(schedule.failure(),
                  (common::Failure{2, QStringLiteral("schedule"), QString::fromUtf8(c.message)}));
    }
}

TEST(ScheduleFile, ReadsUtf8AndNamesTheFileItCannotUse)
{
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("good.txt"));
    ASSERT_TRUE(writeFileBytes(good, "\xEF\xBB\xBF"
                                     "clock 05:00\ndefault * caf\xC3\xA9/menu.lt\n"));
    const common::Expected<Schedule> schedule = readScheduleFile(good);
    ASSERT_TRUE(schedule.ok()) << schedule.failure().text.toStdString();
    EXPECT_EQ(schedule->clockTime, QTime(5, 0));
    EXPECT_EQ(schedule->rules.value(0).file, QStringLiteral("café/menu.lt"));

    const QString missing = folder.filePath(QStringLiteral("missing.txt"));
    const QString wrong = folder.filePath(QStringLiteral("wrong.txt"));
    const QString latin1 = folder.filePath(QStringLiteral("latin1.txt"));
    ASSERT_TRUE(writeFileBytes(wrong, "default * a.lt\nclock noon\n"));
    ASSERT_TRUE(writeFileBytes(latin1, "default * caf\xE9/menu.lt\n"));
    const struct
    {
        QString path;
        QString text;
    } cases[] = {
        {missing, missing + QStringLiteral(": No such file or directory")},
        {wrong, wrong + QStringLiteral(": line 2: the clock time is HH:MM from 00:00 to 23:59, "
                                       "not 'noon'")},
        {latin1, latin1 + QStringLiteral(": the schedule is not UTF-8 text")},
    };
    for (const auto &c : cases) {
        const common::Expected<Schedule> unusable = readScheduleFile(c.path);
        ASSERT_FALSE(unusable.ok()) << c.path.toStdString();
        EXPECT_EQ(unusable.failure(), (common::Failure{2, QStringLiteral("schedule"), c.text}));
    }
}

TEST(ScheduleFile, BoardsMustBeTheFleets)
{
    const QStringList fleet{"entrance", "counter", "window"};
    const Schedule known = scheduleOf("default * a.lt\n"
                                      "window counter,window daily all-day range 0 1\n");
    EXPECT_EQ(checkBoardNames(known, fleet), std::nullopt);
    const Schedule unknown = scheduleOf("default entrance a.lt\n"
                                        "window counter,Window daily all-day range 0 1\n"
                                        "default kiosk b.lt\n");
    EXPECT_EQ(checkBoardNames(unknown, fleet),
              (common::Failure{2, QStringLiteral("schedule"),
                               QStringLiteral("line 2: no board named 'Window' in the fleet")}));
}

TEST(Describe, RulesReadAsTheServiceUnderstandsThem)
{
    const Schedule schedule =
        scheduleOf("default * lobby/normal.lt\n"
                   "window entrance,counter sun,sat,mon-tue,thu 10:00-16:00 range 0 2\n"
                   "window * 2026-12-24..2026-12-26,2027-01-01 all-day file seasonal/xmas.lt\n"
                   "window kiosk daily 22:00-24:00 range 3 1\n"
                   "window kiosk fri-mon 22:00-06:00 file night.lt\n");
    QStringList lines;
    for (const Rule &rule : schedule.rules)
        lines << describe(rule);
    EXPECT_EQ(lines, (QStringList{
                         "line 1: every board: default: lobby/normal.lt",
                         "line 2: entrance, counter: mon-tue,thu,sat-sun 10:00-16:00: screens 0-1",
                         "line 3: every board: 2026-12-24..2026-12-26,2027-01-01 all day: "
                         "seasonal/xmas.lt",
                         "line 4: kiosk: daily 22:00-24:00: screen 3",
                         "line 5: kiosk: mon,fri-sun 22:00-06:00 (next day): night.lt",
                     }));
}

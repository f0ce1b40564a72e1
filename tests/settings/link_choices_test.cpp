#include "pravik/settings/link_choices.h"
#include "pravik/settings/serial_port_lister.h"

#include <gtest/gtest.h>

using namespace pravik::settings;

TEST(LinkChoices, ListsTheFoundPortsAfterEtherNetAndSelectsTheStoredOne)
{
    const QStringList listed{"EtherNet", "COM1", "COM3", "COM12"};
    const QStringList fixed{"EtherNet", "COM1", "COM2", "COM3", "COM4",
                            "COM5",     "COM6", "COM7", "COM8"};
    const struct
    {
        std::optional<QList<int>> found;
        std::int16_t stored;
        QStringList entries;
        int selected;
        std::int16_t storedAfter;
    } cases[] = {
        {QList<int>{1, 3, 12}, 3, listed, 2, 3}, {QList<int>{1, 3, 12}, 0, listed, 0, 0},
        {QList<int>{1, 3, 12}, 5, listed, 1, 5}, {QList<int>{}, 4, {"EtherNet", "COM4"}, 1, 4},
        {QList<int>{}, 0, {"EtherNet"}, 0, 0},   {std::nullopt, 12, fixed, 2, 2},
        {std::nullopt, 8, fixed, 8, 8},          {std::nullopt, 0, fixed, 0, 0},
    };
    for (const auto &c : cases) {
        std::int16_t stored = c.stored;
        const LinkChoices choices = linkChoices(c.found, stored);
        EXPECT_EQ(choices.entries, c.entries) << c.stored;
        EXPECT_EQ(choices.selected, c.selected) << c.stored;
        EXPECT_EQ(stored, c.storedAfter) << c.stored;
    }
}

TEST(LinkChoices, ListsAtMostSixteenPorts)
{
    QList<int> found;
    for (int number = 1; number <= 20; ++number)
        found << number;
    std::int16_t stored = 20;
    const LinkChoices choices = linkChoices(found, stored);
    EXPECT_EQ(choices.entries.size(), 17);
    EXPECT_EQ(choices.entries.last(), QStringLiteral("COM16"));
    EXPECT_EQ(choices.selected, 1);
}

TEST(LinkChoices, OnlyEtherNetAndCom1ToCom16NameALink)
{
    const std::pair<QString, std::optional<int>> cases[] = {
        {"EtherNet", 0}, {"COM1", 1}, {"COM16", 16}, {"com3", 3}};
    for (const auto &[text, port] : cases)
        EXPECT_EQ(portForLinkText(text), port) << text.toStdString();
    for (const char *text : {"COM17", "COM0", "COM", "ethernet", "COM3.5", "LPT1", ""})
        EXPECT_EQ(portForLinkText(QString::fromLatin1(text)), std::nullopt) << text;
}

TEST(BaudChoices, AStoredRateSelectsItsEntryOr28800)
{
    const std::pair<double, int> cases[] = {{4800, 0}, {9600, 1}, {115200, 7}, {9600.4, 1},
                                            {2400, 4}, {0, 4},    {-9600, 4}};
    for (const auto &[baud, index] : cases)
        EXPECT_EQ(baudIndex(baud), index) << baud;
}

TEST(SystemSerialPorts, APortNamedInTheEnvironmentIsListed)
{
    qputenv("COM9", "/dev/pts/nonexistent");
    const std::optional<QList<int>> numbers = SystemSerialPortLister().comNumbers();
    qunsetenv("COM9");
    ASSERT_TRUE(numbers.has_value());
    EXPECT_TRUE(numbers->contains(9));
    EXPECT_TRUE(std::is_sorted(numbers->begin(), numbers->end()));
    EXPECT_LE(numbers->size(), 16);
}

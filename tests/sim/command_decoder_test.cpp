#include "command_decoder.h"
#include "wire_builder.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <vector>

using namespace LedBoardSim;
using WireBuilder::payload;

namespace {

struct DecodeCase
{
    const char *name;
    QByteArray payload;
    int boardType;
    const char *commandName;
    const char *fields; // the decoded fields as JSON
    int notes;
};

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

// The clock for 3 October 2004 14:05:30 with the given weekday: code 3, then
// from byte 12 on second, minute, hour, day, month, 0, weekday, 20, 04 in BCD.
QByteArray clock(char weekday)
{
    QByteArray bytes = QByteArray::fromHex("030000000000000000000000300514031000002004");
    bytes[18] = weekday;
    return bytes;
}

} // namespace

TEST(CommandDecoder, DecodesEveryCommandFromHandBuiltPayloads)
{
    const std::vector<DecodeCase> cases = {
        {"display range, start 44, 3 screens", payload(21, {{0, 1}, {5, 44}, {6, 3}}), 1,
         "display-range", R"({"start":44,"count":3})", 0},
        {"clock: Sunday 3 October 2004 14:05:30", clock(0), 1, "clock",
         R"({"second":30,"minute":5,"hour":14,"day":3,"month":10,"weekday":0,"year":2004,
             "time":"2004-10-03T14:05:30"})",
         0},
        {"clock: weekday that does not fit the date", clock(1), 1, "clock",
         R"({"second":30,"minute":5,"hour":14,"day":3,"month":10,"weekday":1,"year":2004,
             "time":"2004-10-03T14:05:30"})",
         1},
        {"clock from fields: segment 17 mod 16, zone index 19",
         QByteArray::fromHex("050000012024113023595819") + QByteArray(9, '\0'), 1,
         "clock-from-fields",
         R"({"segment":1,"year":2024,"month":11,"day":30,"hour":23,"minute":59,"second":58,
             "time_zone_index":19,"time_zone":"UTC+8"})",
         0},
        {"screen properties",
         payload(21, {{0, 4}, {1, 5}, {3, 0xFE}, {4, 7}, {5, 2}, {6, 14}, {7, 3}, {8, 4}, {9, 10}}),
         1, "screen-properties",
         R"({"screen":5,"entry_effect":7,"entry_effect_name":"move left","entry_speed":2,
             "exit_effect":14,"exit_effect_name":"animation/continuous","exit_speed":3,
             "stay_mode":4,"stay_mode_name":"random","stay_time":10})",
         0},
        {"picture data, red plane of band 1, second half of block 2",
         WireBuilder::picture(3, 3, 5, QByteArray(2, '\xFF')), 2, "picture-data",
         R"({"screen":3,"line":3,"band":1,"block":2,"half":1,"plane":"red","lit_leds":16})", 0},
        {"picture data on a single-colour board",
         WireBuilder::picture(0, 6, 0, QByteArray(1, '\x81')), 1, "picture-data",
         R"({"screen":0,"line":6,"band":3,"block":0,"half":0,"plane":"single","lit_leds":2})", 0},
        {"unknown code", payload(21, {{0, 0x33}}), 1, "unknown", "{}", 1},
    };
    for (const DecodeCase &c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedCommand command = decodeCommand(c.payload, c.boardType);
        EXPECT_EQ(command.code, static_cast<quint8>(c.payload.at(0)));
        EXPECT_EQ(command.name.toStdString(), c.commandName);
        EXPECT_EQ(QJsonDocument(command.fields).toJson(QJsonDocument::Compact).toStdString(),
                  QJsonDocument(json(c.fields)).toJson(QJsonDocument::Compact).toStdString());
        EXPECT_EQ(command.notes.size(), c.notes) << command.notes.join(u'|').toStdString();
    }
}

TEST(CommandDecoder, NotesWhatABoardWouldNotExpect)
{
    const std::pair<QByteArray, const char *> cases[] = {
        {payload(21, {{0, 1}, {9, 1}}), "reserved bytes not zero: 9"},
        {payload(21, {{0, 4}}), "byte 3 is 0x00, not 0xfe"},
        {payload(21, {{0, 3}, {12, 0x3A}, {15, 1}, {16, 1}, {19, 0x20}}),
         "byte 12 is not BCD: 0x3a"},
    };
    for (const auto &[bytes, note] : cases) {
        const DecodedCommand command = decodeCommand(bytes, 1);
        EXPECT_TRUE(command.notes.contains(QString::fromUtf8(note)))
            << command.notes.join(u'|').toStdString();
    }
}

TEST(CommandDecoder, BcdIsTwoDecimalDigitsOrMinusOne)
{
    const std::pair<int, int> cases[] = {{0x45, 45}, {0x00, 0}, {0x99, 99}, {0x1A, -1}, {0xA1, -1}};
    for (const auto &[bcd, value] : cases)
        EXPECT_EQ(fromBcd(static_cast<quint8>(bcd)), value) << bcd;
}

#include "document_fixtures.h"

#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

using namespace pravik::document;

namespace {

// A serial [comm] part with lines 2..9 given; line 1 and line 10 are right.
QByteArray commWith(const QByteArrayList &lines)
{
    return "[comm]\r\n" + lines.join("\r\n") + "\r\n[Pics]\r\n";
}

const QByteArrayList kSerialLines = {"Port =   1",      "Baud =    9600", "Address =  1",
                                     "Address =  1",    "feedback =  1",  "scrtype =  1",
                                     "scrwidth =  160", "scrhigh =  32"};

QByteArrayList serialLinesWith(int index, const QByteArray &line)
{
    QByteArrayList lines = kSerialLines;
    lines[index] = line;
    return lines;
}

struct Loaded
{
    LoadResult result;
    BoardSettings settings;
    ScreenList screens;
    common::RecordingPrompter prompter;
    int settingsReadCalls = 0;
    int recordCutCalls = 0;
};

std::unique_ptr<Loaded> load(const QByteArray &bytes, BoardSettings start = {},
                             ScreenList screens = {})
{
    auto loaded = std::make_unique<Loaded>();
    loaded->settings = start;
    loaded->screens = screens;
    LoadHooks hooks;
    hooks.settingsRead = [&l = *loaded] { ++l.settingsReadCalls; };
    hooks.recordCut = [&l = *loaded] { ++l.recordCutCalls; };
    loaded->result =
        loadDisplayFileBytes(bytes, loaded->settings, loaded->screens, loaded->prompter, hooks);
    return loaded;
}

} // namespace

TEST(DisplayFileLoad, SaveLoadSaveIsByteIdentical)
{
    // Values of one digit leave the "=" inside the cut-out characters.
    BoardSettings tiny = ethernetBoard();
    tiny.ipPort = 7;
    tiny.scrwidth = 8;
    tiny.scrhigh = 1;
    for (const BoardSettings &board : {serialBoard(), ethernetBoard(), tiny}) {
        ScreenList list = listWithPictures(3);
        list.setText(2, EntryEffectColumn, QStringLiteral("动画/连续"));
        list.setText(2, StayModeColumn, QStringLiteral("随机"));
        list.setText(3, PictureColumn, QStringLiteral("D:\\文字\\通知, 今天€.rtf"));
        const QByteArray saved = displayFileBytes(board, list);
        EXPECT_TRUE(saved.contains("\xBD\xF1\xCC\xEC\x80.rtf")); // the euro sign is byte 80

        // Loading replaces the whole list, rows deleted before included.
        ScreenList before = listWithPictures(5);
        before.removeRow(3);
        auto loaded = load(saved, {}, before);
        EXPECT_EQ(loaded->result, LoadResult::Loaded);
        EXPECT_TRUE(loaded->prompter.messages().isEmpty());
        EXPECT_EQ(loaded->settings, board);
        EXPECT_EQ(loaded->screens, list);
        EXPECT_EQ(displayFileBytes(loaded->settings, loaded->screens), saved);
    }
}

// Octets the text does not reach keep their value; zero-padded octets, as
// network modules show them, are decimal and the address is written without
// the padding so that the board can be reached at it.
TEST(DisplayFileLoad, EthernetAddressIsSplitIntoOctets)
{
    const std::tuple<QByteArray, const char *, std::array<std::int16_t, 4>> cases[] = {
        {"IP Address = 10.0.7", "10.0.7", {10, 0, 7, 4}},
        {"IP Address = 127.000.000.002", "127.0.0.2", {127, 0, 0, 2}},
        {"IP Address = 192.168.001.010", "192.168.1.10", {192, 168, 1, 10}},
    };
    BoardSettings start;
    start.ipOctets = {1, 2, 3, 4};
    for (const auto &[line, address, octets] : cases) {
        const QByteArrayList lines = {"Port =   0",     "IP Port =    2000", line,
                                      "Address =  9",   "feedback =  0",     "scrtype =  2",
                                      "scrwidth =  64", "scrhigh =  16"};
        auto loaded = load(commWith(lines), start);
        EXPECT_EQ(loaded->result, LoadResult::Loaded);
        EXPECT_EQ(loaded->settings.ipAddress, QString::fromLatin1(address));
        EXPECT_EQ(loaded->settings.ipOctets, octets);
        EXPECT_EQ(loaded->settings.ipPort, 2000);
        EXPECT_EQ(loaded->settings.address, (std::array<std::uint8_t, 2>{9, 9}));
    }
}

TEST(DisplayFileLoad, SettingsValuesAreCutFromTheLineEnds)
{
    struct CutCase
    {
        int line; // index into the eight settings lines
        QByteArray text;
        BoardSettings expected;
    };
    const BoardSettings base = serialBoard();
    auto with = [&](auto change) {
        BoardSettings s = base;
        change(s);
        return s;
    };
    const CutCase cases[] = {
        {0, "Port =   17", with([](BoardSettings &s) { s.port = 1; })},
        {0, "Port =   16", with([](BoardSettings &s) { s.port = 16; })},
        {0, "Port =  99", with([](BoardSettings &s) { s.port = 1; })},
        {1, "Baud =    115200", with([](BoardSettings &s) { s.baud = 115200; })},
        {1, "Baud =    1152000", with([](BoardSettings &s) { s.baud = 152000; })},
        {6, "scrwidth =  100", with([](BoardSettings &s) { s.scrwidth = 80; })},
        {6, "scrwidth =  96", with([](BoardSettings &s) { s.scrwidth = 96; })},
        {6, "scrwidth =  10240", with([](BoardSettings &s) { s.scrwidth = 240; })},
        {6, "scrwidth = -8", with([](BoardSettings &s) { s.scrwidth = 0; })}, // "= -8" reads 0
        {6, "scrwidth = -808", with([](BoardSettings &s) { s.scrwidth = 80; })},
        {6, "scrwidth =  8", with([](BoardSettings &s) { s.scrwidth = 8; })}, // cut "=  8"
        {6, "scrwidth=16", with([](BoardSettings &s) { s.scrwidth = 16; })},
        {6, "scrwidth = x8", with([](BoardSettings &s) { s.scrwidth = 0; })},
        {7, "scrhigh =  0", with([](BoardSettings &s) { s.scrhigh = 32; })},
        {7, "scrhigh =  16", with([](BoardSettings &s) { s.scrhigh = 16; })},
        {7, "scrhigh =  9", with([](BoardSettings &s) { s.scrhigh = 9; })},
        {7, "scrhigh = -5", with([](BoardSettings &s) { s.scrhigh = 32; })},
        {1, "Baud =    5", with([](BoardSettings &s) { s.baud = 5; })},
        {5, "scrtype =  5", with([](BoardSettings &s) { s.scrtype = 0; })},
        {5, "scrtype =  3", with([](BoardSettings &s) { s.scrtype = 3; })},
        {4, "feedback =  7", with([](BoardSettings &s) { s.feedback = 1; })},
        {4, "feedback =  0", with([](BoardSettings &s) { s.feedback = 0; })},
        {3, "Address =  300", with([](BoardSettings &s) { s.setBusAddress(44); })},
        {3, "Address = 1255", with([](BoardSettings &s) { s.setBusAddress(255); })},
    };
    for (const auto &c : cases) {
        auto loaded = load(commWith(serialLinesWith(c.line, c.text)));
        EXPECT_EQ(loaded->result, LoadResult::Loaded) << c.text.constData();
        EXPECT_EQ(loaded->settings, c.expected) << c.text.constData();
    }
}

TEST(DisplayFileLoad, BrokenSettingsPartStopsWithoutChangingTheSettings)
{
    const QByteArray cases[] = {
        "",
        "[Comm]\r\n",
        "comm\r\nPort =   1\r\n",
        "[comm]\r\nPort =   1\r\nBaud =    9600\r\n",
        commWith(serialLinesWith(0, "Port =  x1")),
        commWith(serialLinesWith(3, "Address =  ab")),
        commWith(serialLinesWith(3, "Address = 1")), // cut to "= 1"
        commWith(serialLinesWith(4, "feedback = on")),
        commWith({"Port =   0", "IP Port =    1973", "IP Address = 1.2.3.4.5", "Address =  1",
                  "feedback =  1", "scrtype =  1", "scrwidth =  160", "scrhigh =  32"}),
    };
    BoardSettings start;
    start.port = 7;
    start.baud = 4800;
    for (const QByteArray &bytes : cases) {
        auto loaded = load(bytes, start);
        EXPECT_EQ(loaded->result, LoadResult::NotDisplayFile) << bytes.constData();
        EXPECT_EQ(loaded->settings, start) << bytes.constData();
        EXPECT_EQ(loaded->settingsReadCalls, 0);
        EXPECT_EQ(loaded->prompter.titledTexts(), QStringList{"Pravik|错误的显示文件"});
        EXPECT_EQ(loaded->prompter.messages().value(0).icon, common::MessageIcon::Error);
    }
}

TEST(DisplayFileLoad, MissingPicsHeaderKeepsTheSettingsRead)
{
    QByteArray bytes = commWith(serialLinesWith(6, "scrwidth =  64"));
    bytes.replace("[Pics]", "[Pictures]");
    auto loaded = load(bytes);
    EXPECT_EQ(loaded->result, LoadResult::NotDisplayFile);
    EXPECT_EQ(loaded->settings.scrwidth, 64);
    EXPECT_EQ(loaded->settingsReadCalls, 1);
    EXPECT_EQ(loaded->prompter.texts(), QStringList{QStringLiteral("错误的显示文件")});

    // A file of nine lines has no [Pics] line either.
    loaded = load(commWith(kSerialLines).chopped(8));
    EXPECT_EQ(loaded->result, LoadResult::NotDisplayFile);
    EXPECT_EQ(loaded->settingsReadCalls, 1);
}

TEST(DisplayFileLoad, RecordsOnOneLineLoadLikeNineLines)
{
    const QByteArray nine = displayFileBytes(serialBoard(), listWithPictures(2));
    QByteArray oneLine = commWith(kSerialLines);
    oneLine += "0, \"C:\\pic\\1.bmp\",\"" + kGbkRightUnfold + "\",\"1\",\"" + kGbkPictureStays +
               "\",\"1\",\"" + kGbkShowPicture + "\",\"" + kGbkRightUnfold + "\",\"1\"\r\n";
    // Bare fields run to the comma; blanks around them are dropped.
    oneLine += "1,  \"C:\\pic\\2.bmp\", " + kGbkRightUnfold + " ,1," + kGbkPictureStays + ",1," +
               kGbkShowPicture + "," + kGbkRightUnfold + ",1\r\n";
    auto fromNine = load(nine);
    auto fromOne = load(oneLine);
    EXPECT_EQ(fromOne->result, LoadResult::Loaded);
    EXPECT_EQ(fromOne->screens, fromNine->screens);
}

// A file ending inside a record, or a trailing empty line that starts one
// more, keeps the rows read before it.
TEST(DisplayFileLoad, RecordCutShortKeepsTheRowsRead)
{
    QByteArray cut = displayFileBytes(serialBoard(), listWithPictures(3));
    cut.chop(QByteArray("\"1\"\r\n").size() * 4);
    const std::pair<QByteArray, int> cases[] = {
        {cut, 3}, {displayFileBytes(serialBoard(), listWithPictures(2)) + "\r\n", 2}};
    for (const auto &[bytes, screens] : cases) {
        auto loaded = load(bytes);
        EXPECT_EQ(loaded->result, LoadResult::RecordCut);
        EXPECT_EQ(loaded->prompter.texts(), QStringList{QStringLiteral("显示文件错误")});
        EXPECT_EQ(loaded->recordCutCalls, 1);
        EXPECT_EQ(loaded->screens.screenCount(), screens);
        EXPECT_EQ(loaded->screens.text(screens, EntryEffectColumn), QStringLiteral("向右展开"));
    }
}

TEST(DisplayFileLoad, HoldsAtMost239Screens)
{
    auto full = load(displayFileBytes(serialBoard(), listWithPictures(239)));
    EXPECT_EQ(full->result, LoadResult::Loaded);
    EXPECT_TRUE(full->prompter.messages().isEmpty());
    EXPECT_EQ(full->screens.screenCount(), 239);

    const QByteArray tooLong = displayFileBytes(serialBoard(), listWithPictures(239)) +
                               defaultRecord(239, "C:\\pic\\240.bmp");
    auto loaded = load(tooLong);
    EXPECT_EQ(loaded->result, LoadResult::TooLong);
    EXPECT_EQ(loaded->prompter.texts(), QStringList{QStringLiteral("显示文件超长")});
    EXPECT_EQ(loaded->screens.screenCount(), 239);
    EXPECT_EQ(loaded->screens.rowCount(), 240);
}

TEST(DisplayFileLoad, FileThatCannotBeReadChangesNothing)
{
    QTemporaryDir dir;
    BoardSettings settings = serialBoard();
    ScreenList screens = listWithPictures(4);
    common::RecordingPrompter prompter;
    for (const QString &path : {dir.filePath(QStringLiteral("missing.lt")), dir.path()}) {
        EXPECT_EQ(loadDisplayFile(path, settings, screens, prompter), LoadResult::Unreadable);
        EXPECT_TRUE(
            prompter.texts().value(0).startsWith(QStringLiteral("无法读取显示文件 ") + path));
        EXPECT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(screens, listWithPictures(4));
        EXPECT_EQ(settings, serialBoard());
        prompter.clear();
    }
}

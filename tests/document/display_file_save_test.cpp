#include "document_fixtures.h"
#include "test_files.h"

#include "pravik/document/display_file.h"

#include "common/recording_prompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

using namespace pravik::document;

namespace {

const QByteArray kSerialComm = "[comm]\r\n"
                               "Port =   1\r\n"
                               "Baud =    9600\r\n"
                               "Address =  1\r\n"
                               "Address =  1\r\n"
                               "feedback =  1\r\n"
                               "scrtype =  1\r\n"
                               "scrwidth =  160\r\n"
                               "scrhigh =  32\r\n"
                               "[Pics]\r\n";

const QByteArray kEthernetComm = "[comm]\r\n"
                                 "Port =   0\r\n"
                                 "IP Port =    1973\r\n"
                                 "IP Address = 192.168.0.200\r\n"
                                 "Address =  1\r\n"
                                 "feedback =  1\r\n"
                                 "scrtype =  1\r\n"
                                 "scrwidth =  160\r\n"
                                 "scrhigh =  32\r\n"
                                 "[Pics]\r\n";

} // namespace

TEST(DisplayFileSave, EthernetBoardWritesPortAndAddressLinesOnce)
{
    EXPECT_EQ(displayFileBytes(ethernetBoard(), listWithPictures(0)), kEthernetComm);
}

// Byte for byte; the list ends at the first row without a picture.
TEST(DisplayFileSave, SerialBoardIsByteExactUpToTheFirstRowWithoutAPicture)
{
    ScreenList list = listWithPictures(8);
    list.setText(5, PictureColumn, QString());
    QByteArray expected = kSerialComm;
    for (int r = 1; r <= 4; ++r)
        expected += defaultRecord(r - 1, QStringLiteral("C:\\pic\\%1.bmp").arg(r).toLatin1());
    EXPECT_EQ(displayFileBytes(serialBoard(), list), expected);
}

TEST(DisplayFileSave, RecordsAreNumberedByPositionAndStopAt239)
{
    ScreenList list = listWithPictures(239);
    list.setText(3, NumberColumn, QStringLiteral(" 2"));
    list.insertRow(240, defaultScreenRow(QStringLiteral("239")));
    list.setText(240, PictureColumn, QStringLiteral("beyond.bmp"));
    const QByteArray bytes = displayFileBytes(serialBoard(), list);
    EXPECT_EQ(bytes.count("\r\n") - 10, 239 * 9);
    EXPECT_TRUE(bytes.contains("\r\n2\r\n\"C:\\pic\\3.bmp\""));
    EXPECT_FALSE(bytes.contains("beyond"));
}

TEST(DisplayFileSave, SevenDigitBaudAndWideValuesAreWrittenInFull)
{
    BoardSettings s = serialBoard();
    s.baud = 1152000;
    s.port = 16;
    s.setBusAddress(255);
    const QByteArray bytes = displayFileBytes(s, listWithPictures(0));
    EXPECT_TRUE(
        bytes.contains("Port =   16\r\nBaud =    1152000\r\nAddress =  255\r\nAddress =  255\r\n"));
}

TEST(DisplayFileSave, ReplacesTheOldFileAndRefusesUnreadableFields)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("board.lt"));
    common::RecordingPrompter prompter;
    ASSERT_TRUE(saveDisplayFile(path, serialBoard(), listWithPictures(2), prompter));
    const QByteArray first = readFileBytes(path);

    // A character outside code page 936 would be read back as another one.
    BoardSettings unreadableAddress = ethernetBoard();
    unreadableAddress.ipAddress = QStringLiteral("192.168.0.\uFFFD");
    const std::tuple<const char16_t *, BoardSettings, const char16_t *> cases[] = {
        {u"C:\\pic\\\"quoted\".bmp", serialBoard(), u"第 2 幕的图片文件含有双引号或换行符"},
        {u"two\nlines.bmp", serialBoard(), u"第 2 幕的图片文件含有双引号或换行符"},
        {u"C:\\Bilder\\Bär.bmp", serialBoard(),
         u"第 2 幕的图片文件含有代码页 936 中没有的字符“ä” (U+00E4)，显示文件无法保存:\n"
         u"C:\\Bilder\\Bär.bmp"},
        {u"C:\\pic\\3.bmp", unreadableAddress,
         u"IP 地址含有代码页 936 中没有的字符“\uFFFD” (U+FFFD)，显示文件无法保存:\n"
         u"192.168.0.\uFFFD"},
    };
    for (const auto &[picture, settings, message] : cases) {
        ScreenList bad = listWithPictures(3);
        bad.setText(3, PictureColumn, QString::fromUtf16(picture));
        prompter.clear();
        EXPECT_FALSE(saveDisplayFile(path, settings, bad, prompter));
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_TRUE(prompter.messages()[0].text.startsWith(QString::fromUtf16(message)))
            << prompter.messages()[0].text.toStdString();
        EXPECT_EQ(prompter.messages()[0].icon, common::MessageIcon::Error);
        EXPECT_EQ(readFileBytes(path), first);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("board.lt")});
}

#include "pravik/document/display_file.h"
#include "pravik/jobs/compare_file.h"

#include "common/recording_prompter.h"

#include "test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::jobs;
using namespace pravik::document;

namespace {

QByteArray displayFileWith(int screens)
{
    ScreenList list;
    initScreenList(list);
    for (int r = 1; r <= screens; ++r)
        list.setText(r, PictureColumn, QStringLiteral("p%1.bmp").arg(r));
    return displayFileBytes(BoardSettings{}, list);
}

// Records past the list's 239 are written by hand.
QByteArray withExtraRecords(QByteArray file, int from, int count)
{
    for (int n = from; n < from + count; ++n)
        file += QByteArray::number(n) + ",\"x.bmp\",\"a\",\"1\",\"b\",\"1\",\"c\",\"d\",\"1\"\r\n";
    return file;
}

struct Checked
{
    CompareResult result;
    QStringList messages;
};

Checked check(const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compare.lt"));
    EXPECT_TRUE(writeFileBytes(path, bytes));
    common::RecordingPrompter prompter;
    Checked checked{checkCompareFile(path, prompter), {}};
    for (const auto &m : prompter.messages()) {
        EXPECT_EQ(m.title, QStringLiteral("Pravik"));
        EXPECT_EQ(m.icon, common::MessageIcon::Error);
        checked.messages << m.text;
    }
    return checked;
}

} // namespace

TEST(CompareFile, SoundFilesPassSilently)
{
    for (const int screens : {0, 3, 95}) {
        const Checked checked = check(withExtraRecords(displayFileWith(0), 0, screens));
        EXPECT_EQ(checked.result, CompareResult::Passed) << screens;
        EXPECT_TRUE(checked.messages.isEmpty());
    }
    EXPECT_EQ(check(displayFileWith(3)).result, CompareResult::Passed);
}

TEST(CompareFile, StructureErrorsHaveTheirOwnMessages)
{
    QByteArray lowerCase = displayFileWith(2);
    lowerCase.replace("[comm]", "[COMM]");
    QByteArray noPics = displayFileWith(2);
    noPics.replace("[Pics]", "[pics]");
    const QByteArray cut = displayFileWith(2).chopped(7);

    const std::pair<QByteArray, QString> cases[] = {
        {withExtraRecords(displayFileWith(0), 0, 96), QStringLiteral("比较文件超长")},
        {lowerCase, QStringLiteral("错误的比较文件")},
        {noPics, QStringLiteral("错误的显示文件")},
        {cut, QStringLiteral("比较文件错误")},
        {QByteArray(), QStringLiteral("错误的比较文件")},
    };
    for (const auto &[bytes, message] : cases) {
        const Checked checked = check(bytes);
        EXPECT_NE(checked.result, CompareResult::Passed) << message.toStdString();
        EXPECT_EQ(checked.messages, QStringList{message});
    }
}

#include "pravik/document/display_file.h"
#include "pravik/jobs/compare_file.h"

#include "common/recording_prompter.h"

#include "test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pravik::jobs;
using namespace pravik::document;

namespace {

// A display file whose first `screens` rows name a picture, and after it
// `extra` records written by hand (past the list's 239 too).
QByteArray displayFileWith(int screens, int extra = 0)
{
    ScreenList list;
    initScreenList(list);
    for (int r = 1; r <= screens; ++r)
        list.setText(r, PictureColumn, QStringLiteral("p%1.bmp").arg(r));
    QByteArray file = displayFileBytes(BoardSettings{}, list);
    for (int n = 0; n < extra; ++n)
        file += QByteArray::number(n) + ",\"x.bmp\",\"a\",\"1\",\"b\",\"1\",\"c\",\"d\",\"1\"\r\n";
    return file;
}

// The result of checking `bytes` as the compare file, and the errors shown.
std::pair<CompareResult, QStringList> check(const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compare.lt"));
    EXPECT_TRUE(writeFileBytes(path, bytes));
    common::RecordingPrompter prompter;
    const CompareResult result = checkCompareFile(path, prompter);
    for (const auto &m : prompter.messages())
        EXPECT_EQ(m.icon, common::MessageIcon::Error);
    return {result, prompter.titledTexts()};
}

} // namespace

TEST(CompareFile, SoundFilesPassSilently)
{
    const std::pair<int, int> files[] = {{0, 0}, {0, 3}, {0, 95}, {3, 0}}; // screens, extra records
    for (const auto &[screens, extra] : files) {
        EXPECT_EQ(check(displayFileWith(screens, extra)),
                  std::pair(CompareResult::Passed, QStringList()))
            << screens << " + " << extra;
    }
}

TEST(CompareFile, StructureErrorsHaveTheirOwnMessages)
{
    QByteArray lowerCase = displayFileWith(2);
    lowerCase.replace("[comm]", "[COMM]");
    QByteArray noPics = displayFileWith(2);
    noPics.replace("[Pics]", "[pics]");

    const std::pair<QByteArray, const char *> cases[] = {
        {displayFileWith(0, 96), "比较文件超长"},
        {lowerCase, "错误的比较文件"},
        {noPics, "错误的显示文件"},
        {displayFileWith(2).chopped(7), "比较文件错误"},
        {QByteArray(), "错误的比较文件"},
    };
    for (const auto &[bytes, message] : cases) {
        const auto [result, messages] = check(bytes);
        EXPECT_NE(result, CompareResult::Passed) << message;
        EXPECT_EQ(messages, QStringList{QStringLiteral("Pravik|") + QString::fromUtf8(message)});
    }
}

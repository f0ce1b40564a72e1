#include "pravik/document/display_file.h"
#include "pravik/jobs/compare_file.h"

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

// What is wrong with `bytes` as the compare file, "title|text"; empty: sound.
QString check(const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compare.lt"));
    EXPECT_TRUE(writeFileBytes(path, bytes));
    const common::Status wrong = checkCompareFile(path);
    if (!wrong)
        return {};
    EXPECT_EQ(wrong->icon, common::MessageIcon::Error);
    return wrong->title + u'|' + wrong->text;
}

} // namespace

TEST(CompareFile, SoundFilesPassSilently)
{
    const std::pair<int, int> files[] = {{0, 0}, {0, 3}, {0, 95}, {3, 0}}; // screens, extra records
    for (const auto &[screens, extra] : files) {
        EXPECT_EQ(check(displayFileWith(screens, extra)), QString()) << screens << " + " << extra;
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
        EXPECT_EQ(check(bytes), QStringLiteral("Pravik|") + QString::fromUtf8(message));
    }
}

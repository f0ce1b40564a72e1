#include "compare_file.h"

#include "job_messages.h"

#include "pravik/document/list_input_reader.h"
#include "pravik/document/program_texts.h"

#include "common/text_codec.h"

#include <QFile>

namespace pravik::jobs {
namespace {

constexpr int kFieldsAfterNumber = 8;

common::Failure wrongFile(const QString &text)
{
    return {common::kFailedCode, kProgramTitle, text, common::MessageIcon::Error};
}

} // namespace

common::Status checkCompareFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return common::Failure{common::kFailedCode, kSystemErrorTitle,
                               QStringLiteral("%1: %2").arg(path, file.errorString()),
                               common::MessageIcon::Question};
    return checkCompareFileBytes(file.readAll());
}

common::Status checkCompareFileBytes(const QByteArray &bytes)
{
    document::ListInputReader reader(common::decodeGbk(bytes));

    QString line;
    if (!reader.readLine(line) || line != QStringLiteral("[comm]"))
        return wrongFile(QStringLiteral("错误的比较文件"));
    // Lines 2 to 9 are the settings, read and not looked at.
    for (int lineNumber = 2; lineNumber <= 10; ++lineNumber) {
        if (!reader.readLine(line))
            line.clear();
    }
    if (line != QStringLiteral("[Pics]"))
        return wrongFile(QStringLiteral("错误的显示文件"));

    for (int records = 1; !reader.atEnd();) {
        reader.readField();
        for (int field = 0; field < kFieldsAfterNumber; ++field) {
            if (reader.atEnd())
                return wrongFile(QStringLiteral("比较文件错误"));
            reader.readField();
        }
        if (++records > kMaxCompareRecords + 1)
            return wrongFile(QStringLiteral("比较文件超长"));
    }
    return {};
}

} // namespace pravik::jobs

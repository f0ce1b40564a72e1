#include "compare_file.h"

#include "job_messages.h"

#include "pravik/document/list_input_reader.h"
#include "pravik/document/program_texts.h"

#include "common/prompter.h"
#include "common/text_codec.h"

#include <QFile>

namespace pravik::jobs {
namespace {

constexpr int kFieldsAfterNumber = 8;

CompareResult tell(common::Prompter &prompter, const QString &text, CompareResult result)
{
    prompter.tell(text, kProgramTitle, common::MessageIcon::Error);
    return result;
}

} // namespace

CompareResult checkCompareFile(const QString &path, common::Prompter &prompter)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompter.tell(QStringLiteral("%1: %2").arg(path, file.errorString()), kSystemErrorTitle,
                      common::MessageIcon::Question);
        return CompareResult::Unreadable;
    }
    return checkCompareFileBytes(file.readAll(), prompter);
}

CompareResult checkCompareFileBytes(const QByteArray &bytes, common::Prompter &prompter)
{
    document::ListInputReader reader(common::decodeGbk(bytes));

    QString line;
    if (!reader.readLine(line) || line != QStringLiteral("[comm]"))
        return tell(prompter, QStringLiteral("错误的比较文件"), CompareResult::NotCompareFile);
    // Lines 2 to 9 are the settings, read and not looked at.
    for (int lineNumber = 2; lineNumber <= 10; ++lineNumber) {
        if (!reader.readLine(line))
            line.clear();
    }
    if (line != QStringLiteral("[Pics]"))
        return tell(prompter, QStringLiteral("错误的显示文件"), CompareResult::NotDisplayFile);

    for (int records = 1; !reader.atEnd();) {
        reader.readField();
        for (int field = 0; field < kFieldsAfterNumber; ++field) {
            if (reader.atEnd())
                return tell(prompter, QStringLiteral("比较文件错误"), CompareResult::RecordCut);
            reader.readField();
        }
        if (++records > kMaxCompareRecords + 1)
            return tell(prompter, QStringLiteral("比较文件超长"), CompareResult::TooLong);
    }
    return CompareResult::Passed;
}

} // namespace pravik::jobs

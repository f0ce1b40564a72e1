#pragma once

#include <QByteArray>
#include <QString>

namespace common {
class Prompter;
}

namespace pravik::jobs {

inline constexpr int kMaxCompareRecords = 95;

enum class CompareResult {
    Passed,
    NotCompareFile, // "错误的比较文件": the first line is not [comm]
    NotDisplayFile, // "错误的显示文件": line 10 is not [Pics]
    RecordCut,      // "比较文件错误": the file ends inside a record
    TooLong,        // "比较文件超长": 96 records or more
    Unreadable,     // the file cannot be read
};

// Checks the structure and the record count of the compare file and tells
// the operator what is wrong with it; a sound file passes silently.
CompareResult checkCompareFile(const QString &path, common::Prompter &prompter);

// The same check on the file's bytes, once they have been read.
CompareResult checkCompareFileBytes(const QByteArray &bytes, common::Prompter &prompter);

} // namespace pravik::jobs

#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QString>

namespace pravik::jobs {

inline constexpr int kMaxCompareRecords = 95;

// Checks the structure and the record count of the compare file. A sound file
// passes; otherwise the failure says what is wrong: "错误的比较文件" (the first
// line is not [comm]), "错误的显示文件" (line 10 is not [Pics]), "比较文件错误"
// (the file ends inside a record), "比较文件超长" (96 records or more), or why
// the file cannot be read.
common::Status checkCompareFile(const QString &path);

// The same check on the file's bytes, once they have been read.
common::Status checkCompareFileBytes(const QByteArray &bytes);

} // namespace pravik::jobs

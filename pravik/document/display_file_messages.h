#pragma once

#include <QString>

namespace pravik::document {

inline const QString kNotDisplayFileText = QStringLiteral("错误的显示文件");
inline const QString kRecordCutText = QStringLiteral("显示文件错误");
inline const QString kTooLongText = QStringLiteral("显示文件超长");

QString cannotReadText(const QString &path, const QString &reason);
QString cannotSaveText(const QString &path, const QString &reason);

} // namespace pravik::document

#pragma once

#include <QString>

namespace pravik::document {

inline const QString kNotDisplayFileText = QStringLiteral("错误的显示文件");
inline const QString kRecordCutText = QStringLiteral("显示文件错误");
inline const QString kTooLongText = QStringLiteral("显示文件超长");

QString cannotReadText(const QString &path, const QString &reason);
QString cannotSaveText(const QString &path, const QString &reason);

// A text the display file's code page 936 cannot hold: the screen number and
// field name, or the board's IP address.
QString fieldOutsideCodePageText(int screen, const QString &fieldName, char32_t character,
                                 const QString &field);
QString addressOutsideCodePageText(char32_t character, const QString &address);

} // namespace pravik::document

#include "display_file_messages.h"

#include <QDir>

namespace pravik::document {

QString cannotReadText(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取显示文件 %1\n%2").arg(QDir::toNativeSeparators(path), reason);
}

QString cannotSaveText(const QString &path, const QString &reason)
{
    return QStringLiteral("无法保存显示文件 %1\n%2\n原来的文件没有改变。")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace pravik::document

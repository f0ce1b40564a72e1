#include "display_file_messages.h"

#include "common/text_codec.h"

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

QString fieldOutsideCodePageText(int screen, const QString &fieldName, char32_t character,
                                 const QString &field)
{
    return QStringLiteral("第 %1 幕的%2含有代码页 936 中没有的字符%3，显示文件无法保存:\n%4")
        .arg(screen)
        .arg(fieldName, common::namedCharacter(character), field);
}

QString addressOutsideCodePageText(char32_t character, const QString &address)
{
    return QStringLiteral("IP 地址含有代码页 936 中没有的字符%1，显示文件无法保存:\n%2")
        .arg(common::namedCharacter(character), address);
}

} // namespace pravik::document

#include "request_text.h"

#include "common/numbers.h"

#include <QStringDecoder>

namespace pravikd::http {
namespace {

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

} // namespace

std::optional<QString> percentDecoded(const QByteArray &raw)
{
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '%') {
            bytes.append(raw[i]);
            continue;
        }
        if (i + 2 >= raw.size())
            return std::nullopt;
        const int high = common::hexDigitValue(raw[i + 1]);
        const int low = common::hexDigitValue(raw[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(char(high * 16 + low));
        i += 2;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

QMap<QString, QString> queryParameters(const QByteArray &query)
{
    QMap<QString, QString> parameters;
    for (const QByteArray &pair : query.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const std::optional<QString> key = percentDecoded(equals < 0 ? pair : pair.left(equals));
        const std::optional<QString> value =
            percentDecoded(equals < 0 ? QByteArray() : pair.mid(equals + 1));
        if (key && value)
            parameters.insert(*key, *value);
    }
    return parameters;
}

QString contentPathProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("the file name is empty");
    if (hasControlCharacter(name))
        return QStringLiteral("the file name holds a control character");
    if (name.contains(u'\\'))
        return QStringLiteral("the file name holds a backslash; write folders with '/'");
    if (name.contains(u'%'))
        return QStringLiteral("the file name holds a '%' (encoded twice?)");
    if (name.startsWith(u'/') || (name.size() >= 2 && name[0].isLetter() && name[1] == u':'))
        return QStringLiteral("the file name is absolute; give it relative to the content folder");
    for (const QString &part : name.split(u'/')) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return QStringLiteral("the file name '%1' leaves the content folder or has an empty "
                                  "part")
                .arg(name);
    }
    return {};
}

QString boardNameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("the board's name is empty");
    if (hasControlCharacter(name))
        return QStringLiteral("the board's name holds a control character");
    return {};
}

} // namespace pravikd::http

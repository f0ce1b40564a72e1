#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

namespace pravikd::http {

// Percent-decodes `raw` once and reads it as UTF-8: nothing for a broken
// escape ("%4", "%zz") or bytes that are no UTF-8 text. A '+' stays a '+', so
// that a time's offset ("+02:00") survives a query unencoded.
std::optional<QString> percentDecoded(const QByteArray &raw);

// The query's parameters, each decoded once; a parameter that does not decode
// is left out, as if it had not been given.
QMap<QString, QString> queryParameters(const QByteArray &query);

// Why `name` (decoded once) is no display file's name inside the content
// folder, or an empty text when it is one: a relative path of names without
// "." or ".." parts, backslashes, control characters or a leftover '%' (a
// second encoding, which something downstream might decode again).
QString contentPathProblem(const QString &name);

// Why `name` is no board's name: empty, or a control character in it.
QString boardNameProblem(const QString &name);

} // namespace pravikd::http

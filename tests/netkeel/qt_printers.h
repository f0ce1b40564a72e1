#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Failures show texts and command lines readably, line ends escaped.
inline void PrintTo(const QString &text, std::ostream *os)
{
    QString shown = text;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    *os << '"' << shown.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    PrintTo(QString::fromLatin1(bytes), os);
}

#pragma once

// Lets GoogleTest print Qt texts readably in failure messages, line ends
// escaped; every test binary includes this first (those without Qt skip it).
#if __has_include(<QByteArray>)
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    QString shown = text;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    *out << '"' << shown.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        *out << (i ? ", " : "");
        PrintTo(texts[i], out);
    }
    *out << '}';
}

// Command lines as text, frames and other binary data in hex.
inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    const bool text = std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n';
    });
    if (text)
        PrintTo(QString::fromLatin1(bytes), out);
    else
        *out << bytes.toHex(' ').toStdString();
}

#endif

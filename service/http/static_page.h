#pragma once

#include "http_exchange.h"

#include <QHash>
#include <QString>
#include <optional>

namespace pravikd::http {

// The web console: a page, its script and its style sheet (and an icon),
// compiled into the program and served as they are, to anyone: they hold no
// data; everything the page shows it fetches through the API with a token.
class StaticPage
{
public:
    // Reads the files from `root` (a resource folder such as ":/pravikd/web").
    explicit StaticPage(const QString &root);

    static bool isPagePath(const QByteArray &path);
    // The answer for one of the page's paths: the file, 404 when this build
    // has none, 405 for a method other than GET or HEAD.
    ApiResponse answer(const QByteArray &method, const QByteArray &path) const;
    // The bytes a browser fetches on the first load: page, script, style.
    qint64 firstLoadBytes() const;

private:
    struct File
    {
        QByteArray type;
        QByteArray bytes;
    };
    QHash<QByteArray, File> m_files; // by path
};

} // namespace pravikd::http

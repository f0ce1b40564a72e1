#include "static_page.h"

#include "api_answers.h"

#include <QDir>
#include <QFile>

namespace pravikd::http {
namespace {

struct PageFile
{
    const char *path;
    const char *file;
    const char *type;
};

constexpr PageFile kPageFiles[] = {
    {"/", "index.html", "text/html; charset=utf-8"},
    {"/app.js", "app.js", "text/javascript; charset=utf-8"},
    {"/app.css", "app.css", "text/css; charset=utf-8"},
    {"/favicon.svg", "favicon.svg", "image/svg+xml"},
};

} // namespace

StaticPage::StaticPage(const QString &root)
{
    const QDir folder(root);
    for (const PageFile &page : kPageFiles) {
        QFile file(folder.filePath(QString::fromLatin1(page.file)));
        if (file.open(QIODevice::ReadOnly))
            m_files.insert(page.path, File{page.type, file.readAll()});
    }
}

bool StaticPage::isPagePath(const QByteArray &path)
{
    for (const PageFile &page : kPageFiles) {
        if (path == page.path)
            return true;
    }
    return false;
}

ApiResponse StaticPage::answer(const QByteArray &method, const QByteArray &path) const
{
    if (method != "GET" && method != "HEAD") {
        ApiResponse response = errorAnswer(405, QStringLiteral("the page is only read"));
        response.addHeader("Allow", "GET, HEAD");
        return response;
    }
    const auto file = m_files.constFind(path);
    if (file == m_files.cend())
        return errorAnswer(404, QStringLiteral("not found"));
    ApiResponse response;
    response.contentType = file->type;
    response.body = file->bytes;
    return response;
}

qint64 StaticPage::firstLoadBytes() const
{
    qint64 bytes = 0;
    for (const char *path : {"/", "/app.js", "/app.css"})
        bytes += m_files.value(path).bytes.size();
    return bytes;
}

} // namespace pravikd::http

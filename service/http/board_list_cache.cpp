#include "board_list_cache.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pravikd::http {
namespace {

bool sameView(const pravik::service::BoardView &a, const pravik::service::BoardView &b)
{
    return a.state == b.state && a.link == b.link && a.address == b.address && a.busy == b.busy &&
           a.job == b.job;
}

bool sameViews(const QList<pravik::service::BoardView> &a,
               const QList<pravik::service::BoardView> &b)
{
    return a.size() == b.size() && std::equal(a.cbegin(), a.cend(), b.cbegin(), sameView);
}

} // namespace

QByteArray BoardListCache::json(const QList<pravik::service::BoardView> &boards)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_made && sameViews(boards, m_boards))
            return m_json;
    }
    QJsonArray list;
    for (const pravik::service::BoardView &board : boards)
        list.append(pravik::service::boardToJson(board));
    const QByteArray json =
        QJsonDocument(QJsonObject{{QStringLiteral("boards"), list}}).toJson(QJsonDocument::Compact);
    const std::lock_guard lock(m_mutex);
    m_boards = boards;
    m_json = json;
    m_made = true;
    return json;
}

} // namespace pravikd::http

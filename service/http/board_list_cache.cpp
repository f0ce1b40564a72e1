#include "board_list_cache.h"

#include <QJsonDocument>

namespace pravikd::http {
namespace {

bool sameView(const pravik::service::BoardView &a, const pravik::service::BoardView &b)
{
    return a.state == b.state && a.link == b.link && a.address == b.address && a.busy == b.busy &&
           a.job == b.job;
}

} // namespace

QByteArray BoardListCache::json(const QList<pravik::service::BoardView> &boards)
{
    const std::lock_guard lock(m_mutex);
    // The service hands out one list, shared, until a board changes: most
    // polls need no comparing at all.
    if (!m_json.isEmpty() && boards.constData() == m_listed.constData() &&
        boards.size() == m_listed.size())
        return m_json;
    QList<Part> parts;
    parts.reserve(boards.size());
    QByteArray json = R"({"boards":[)";
    for (qsizetype i = 0; i < boards.size(); ++i) {
        // The list keeps its order from poll to poll; a board in another place
        // is made again, which is correct, only slower.
        if (i < m_parts.size() && sameView(boards[i], m_parts[i].view))
            parts.append(m_parts[i]);
        else
            parts.append({boards[i], QJsonDocument(pravik::service::boardToJson(boards[i]))
                                         .toJson(QJsonDocument::Compact)});
        if (i > 0)
            json += ',';
        json += parts.last().json;
    }
    m_parts = std::move(parts);
    m_listed = boards;
    m_json = json + "]}";
    return m_json;
}

} // namespace pravikd::http

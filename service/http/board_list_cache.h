#pragma once

#include "pravik/service/remote_service.h"

#include <QByteArray>
#include <QList>
#include <mutex>

namespace pravikd::http {

// The boards' list as the API's JSON, made again only when a board's view
// changed since the last time. The list is what every open console polls,
// and turning 32 boards into JSON is nearly the whole cost of a poll.
class BoardListCache
{
public:
    QByteArray json(const QList<pravik::service::BoardView> &boards);

private:
    std::mutex m_mutex;
    QList<pravik::service::BoardView> m_boards;
    QByteArray m_json;
    bool m_made = false;
};

} // namespace pravikd::http

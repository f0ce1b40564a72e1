#pragma once

#include "pravik/service/remote_service.h"

#include <QByteArray>
#include <QList>
#include <mutex>

namespace pravikd::http {

// The boards' list as the API's JSON, each board's part made again only when
// its view changed since the last time. The list is what every open console
// polls, and turning 32 boards into JSON would be nearly the whole cost of a
// poll; between two polls usually one board changed, if any.
class BoardListCache
{
public:
    QByteArray json(const QList<pravik::service::BoardView> &boards);

private:
    struct Part
    {
        pravik::service::BoardView view;
        QByteArray json;
    };
    std::mutex m_mutex;
    QList<Part> m_parts;
    // The list last made, kept so that its data cannot be freed and its
    // address taken by another: the same address is the same list.
    QList<pravik::service::BoardView> m_listed;
    QByteArray m_json;
};

} // namespace pravikd::http

#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

namespace pravikd::http {

// The headers every answer carries, page or API, success or error: the page
// runs only its own script and style and is framed by no one, nothing is
// sniffed, sent on as a referrer or cached; over TLS browsers are told to
// come back only over TLS.
QList<QPair<QByteArray, QByteArray>> securityHeaders(bool tls);

} // namespace pravikd::http

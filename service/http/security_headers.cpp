#include "security_headers.h"

namespace pravikd::http {

QList<QPair<QByteArray, QByteArray>> securityHeaders(bool tls)
{
    QList<QPair<QByteArray, QByteArray>> headers = {
        {"Content-Security-Policy",
         "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' blob: data:; "
         "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
        {"X-Frame-Options", "DENY"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
    };
    if (tls)
        headers.append(
            qMakePair(QByteArray("Strict-Transport-Security"), QByteArray("max-age=31536000")));
    return headers;
}

} // namespace pravikd::http

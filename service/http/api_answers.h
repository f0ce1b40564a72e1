#pragma once

#include "http_exchange.h"

#include "common/failure.h"

#include <QJsonObject>

namespace pravikd::http {

// A JSON answer, and the error answer every route gives:
// {"error": "<text for a human>", "code": <status>} with that status.
ApiResponse jsonAnswer(int status, const QJsonObject &object);
ApiResponse errorAnswer(int status, const QString &text);

// The HTTP status of the service's refusal: an unknown board, file or job is
// 404, a busy board or nothing to stop 409, a command that makes no sense 400,
// another refusal 400, and a failure of the service's own 500.
int statusOfFailure(const common::Failure &failure);
QString failureText(const common::Failure &failure);
ApiResponse failureAnswer(const common::Failure &failure);

} // namespace pravikd::http

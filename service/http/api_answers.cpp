#include "api_answers.h"

#include "pravik/service/remote_service.h"

#include <QJsonDocument>

namespace pravikd::http {

using pravik::service::Refusal;

ApiResponse jsonAnswer(int status, const QJsonObject &object)
{
    ApiResponse response;
    response.status = status;
    response.contentType = "application/json; charset=utf-8";
    response.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return response;
}

ApiResponse errorAnswer(int status, const QString &text)
{
    ApiResponse response = jsonAnswer(
        status, QJsonObject{{QStringLiteral("error"), text}, {QStringLiteral("code"), status}});
    response.outcome = text;
    return response;
}

int statusOfFailure(const common::Failure &failure)
{
    switch (failure.code) {
    case int(Refusal::UnknownBoard):
    case int(Refusal::UnknownFile):
    case int(Refusal::UnknownJob):
        return 404;
    case int(Refusal::BoardBusy):
    case int(Refusal::NothingToStop):
        return 409;
    case int(Refusal::BadRequest):
    case common::kRefusedCode:
        return 400;
    case int(Refusal::Stopping):
        return 503;
    default:
        return 500;
    }
}

QString failureText(const common::Failure &failure)
{
    if (failure.title.isEmpty() || failure.text.isEmpty())
        return failure.title + failure.text;
    return failure.title + QStringLiteral(": ") + failure.text;
}

ApiResponse failureAnswer(const common::Failure &failure)
{
    return errorAnswer(statusOfFailure(failure), failureText(failure));
}

} // namespace pravikd::http

#include "api_routes.h"

#include "api_answers.h"
#include "audit_log.h"
#include "event_feed.h"
#include "request_text.h"

#include "pravik/service/remote_service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <cmath>
#include <variant>

namespace pravikd::http {
namespace {

using pravik::service::Command;
using pravik::service::RemoteService;

enum class Route {
    Boards,
    Board,
    BoardSend,
    BoardClock,
    BoardRange,
    BoardStop,
    Send,
    Job,
    Plan,
    Content,
    ScreenPicture,
    ShowPicture,
    Audit,
    Events,
};

struct Match
{
    Route route;
    QByteArray allow;            // the methods the route takes, for 405's Allow
    QList<QByteArray> arguments; // path parameters, still encoded
};

constexpr int kDefaultPlanHours = 24;
constexpr int kMostPlanHours = 24 * 14;
constexpr int kDefaultAuditLines = 100;
constexpr int kMostAuditLines = 1000;
constexpr int kHighestStart = 238;
constexpr int kMostScreens = 239;
constexpr std::size_t kMostPictures = 1000;

// The route of an /api/v1 path, matched on the path as sent: an encoded '/'
// inside a board's name never makes a route of its own.
std::optional<Match> matchRoute(const QByteArray &path)
{
    const QByteArray prefix = "/api/v1/";
    if (!path.startsWith(prefix))
        return std::nullopt;
    const QList<QByteArray> s = path.mid(prefix.size()).split('/');
    const qsizetype n = s.size();
    const QByteArray &first = s[0];
    if (first == "boards") {
        if (n == 1)
            return Match{Route::Boards, "GET, HEAD", {}};
        if (s[1].isEmpty() || n > 3)
            return std::nullopt;
        if (n == 2)
            return Match{Route::Board, "GET, HEAD", {s[1]}};
        static const QList<QPair<QByteArray, Route>> actions = {{"send", Route::BoardSend},
                                                                {"clock", Route::BoardClock},
                                                                {"range", Route::BoardRange},
                                                                {"stop", Route::BoardStop}};
        for (const auto &[word, route] : actions) {
            if (s[2] == word)
                return Match{route, "POST", {s[1]}};
        }
        return std::nullopt;
    }
    if (n == 1) {
        static const QList<std::tuple<QByteArray, Route, QByteArray>> single = {
            {"send", Route::Send, "POST"},
            {"plan", Route::Plan, "GET, HEAD"},
            {"content", Route::Content, "GET, HEAD, POST"},
            {"audit", Route::Audit, "GET, HEAD"},
            {"events", Route::Events, "GET, HEAD"}};
        for (const auto &[word, route, allow] : single) {
            if (first == word)
                return Match{route, allow, {}};
        }
        return std::nullopt;
    }
    if (first == "jobs" && n == 2)
        return Match{Route::Job, "GET, HEAD", {s[1]}};
    if (first == "content" && n >= 3 && s[n - 1] == "show.gif")
        return Match{Route::ShowPicture, "GET, HEAD", {s.mid(1, n - 2).join('/')}};
    if (first == "content" && n >= 4 && s[n - 2] == "screens" && s[n - 1].endsWith(".png"))
        return Match{
            Route::ScreenPicture, "GET, HEAD", {s.mid(1, n - 3).join('/'), s[n - 1].chopped(4)}};
    return std::nullopt;
}

bool allows(const QByteArray &allow, const QByteArray &method)
{
    for (const QByteArray &word : allow.split(',')) {
        if (word.trimmed() == method)
            return true;
    }
    return false;
}

// A path parameter or a body's field that names a file or a board: the
// text, or the answer refusing it.
using Checked = std::variant<QString, ApiResponse>;

Checked contentFile(const QByteArray &raw, bool encoded)
{
    std::optional<QString> name;
    if (encoded) {
        name = percentDecoded(raw);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        name = utf8(raw);
        if (utf8.hasError())
            name.reset();
    }
    if (!name)
        return errorAnswer(400, QStringLiteral("the file name is not percent-encoded UTF-8"));
    const QString problem = contentPathProblem(*name);
    if (!problem.isEmpty())
        return errorAnswer(400, problem);
    return *name;
}

Checked boardName(const QByteArray &raw)
{
    const std::optional<QString> name = percentDecoded(raw);
    if (!name)
        return errorAnswer(400, QStringLiteral("the board's name is not percent-encoded UTF-8"));
    const QString problem = boardNameProblem(*name);
    if (!problem.isEmpty())
        return errorAnswer(400, problem);
    return *name;
}

// The body as a JSON object; an empty body is an empty object.
std::optional<QJsonObject> bodyObject(const ApiRequest &request)
{
    if (request.body.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<int> integerField(const QJsonObject &body, const QString &key, int lowest,
                                int highest)
{
    const QJsonValue value = body.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < lowest || number > highest)
        return std::nullopt;
    return int(number);
}

// The send a body asks for, "file" and "all", for a board still to be named;
// or why it is refused.
std::variant<Command, ApiResponse> sendCommand(const QJsonObject &body)
{
    const QJsonValue fileValue = body.value(QStringLiteral("file"));
    if (!fileValue.isString())
        return errorAnswer(400, QStringLiteral("give the display file as \"file\": \"NAME.lt\""));
    const Checked file = contentFile(fileValue.toString().toUtf8(), false);
    if (const auto *refusal = std::get_if<ApiResponse>(&file))
        return *refusal;
    const QJsonValue all = body.value(QStringLiteral("all"));
    if (!all.isUndefined() && !all.isBool())
        return errorAnswer(400, QStringLiteral("\"all\" is true or false"));
    Command command;
    command.kind = all.toBool() ? Command::Kind::SendAll : Command::Kind::SendChanges;
    command.file = std::get<QString>(file);
    return command;
}

ApiResponse jobStarted(int status, int job)
{
    ApiResponse response = jsonAnswer(status, QJsonObject{{QStringLiteral("job"), job}});
    response.outcome = QStringLiteral("job %1").arg(job);
    return response;
}

ApiResponse commandAnswer(RemoteService &service, const Command &command)
{
    const common::Expected<int> job = service.command(command);
    return job ? jobStarted(202, *job) : failureAnswer(job.failure());
}

ApiResponse sendToBoard(const QString &board, const ApiRequest &request, RemoteService &service)
{
    const std::optional<QJsonObject> body = bodyObject(request);
    if (!body)
        return errorAnswer(400, QStringLiteral("the body is no JSON object"));
    std::variant<Command, ApiResponse> send = sendCommand(*body);
    if (const auto *refusal = std::get_if<ApiResponse>(&send))
        return *refusal;
    Command &command = std::get<Command>(send);
    command.board = board;
    return commandAnswer(service, command);
}

ApiResponse sendRange(const QString &board, const ApiRequest &request, RemoteService &service)
{
    const std::optional<QJsonObject> body = bodyObject(request);
    if (!body)
        return errorAnswer(400, QStringLiteral("the body is no JSON object"));
    const std::optional<int> start = integerField(*body, QStringLiteral("start"), 0, kHighestStart);
    const std::optional<int> count = integerField(*body, QStringLiteral("count"), 1, kMostScreens);
    if (!start || !count || *start + *count > kMostScreens)
        return errorAnswer(400, QStringLiteral("give \"start\" (0 to %1) and \"count\" (1 to %2), "
                                               "with start + count at most %2")
                                    .arg(kHighestStart)
                                    .arg(kMostScreens));
    Command command;
    command.kind = Command::Kind::SendRange;
    command.board = board;
    command.range = {*start, *count};
    return commandAnswer(service, command);
}

ApiResponse sendToBoards(const ApiRequest &request, RemoteService &service)
{
    const std::optional<QJsonObject> body = bodyObject(request);
    if (!body)
        return errorAnswer(400, QStringLiteral("the body is no JSON object"));
    const QJsonValue boardsValue = body->value(QStringLiteral("boards"));
    QStringList boards;
    for (const QJsonValue &value : boardsValue.toArray()) {
        const QString name = value.toString();
        if (!value.isString() || !boardNameProblem(name).isEmpty())
            return errorAnswer(400, QStringLiteral("\"boards\" lists boards' names"));
        if (!boards.contains(name))
            boards.append(name);
    }
    if (!boardsValue.isArray() || boards.isEmpty())
        return errorAnswer(400, QStringLiteral("give the boards as \"boards\": [\"a\", ...]"));
    const std::variant<Command, ApiResponse> send = sendCommand(*body);
    if (const auto *refusal = std::get_if<ApiResponse>(&send))
        return *refusal;

    QJsonObject jobs;
    QJsonObject refused;
    QStringList outcome;
    int firstRefusal = 0;
    QString firstText;
    for (const QString &board : boards) {
        Command command = std::get<Command>(send);
        command.board = board;
        const common::Expected<int> job = service.command(command);
        if (job) {
            jobs.insert(board, *job);
            outcome << QStringLiteral("%1 job %2").arg(board).arg(*job);
            continue;
        }
        const int status = statusOfFailure(job.failure());
        const QString text = failureText(job.failure());
        refused.insert(
            board, QJsonObject{{QStringLiteral("error"), text}, {QStringLiteral("code"), status}});
        outcome << QStringLiteral("%1 refused (%2)").arg(board).arg(status);
        if (firstRefusal == 0) {
            firstRefusal = status;
            firstText = text;
        }
    }
    QJsonObject answer{{QStringLiteral("jobs"), jobs}};
    if (!refused.isEmpty())
        answer.insert(QStringLiteral("refused"), refused);
    const int status = jobs.isEmpty() ? firstRefusal : 202;
    if (jobs.isEmpty()) {
        answer.insert(QStringLiteral("error"), firstText);
        answer.insert(QStringLiteral("code"), status);
    }
    ApiResponse response = jsonAnswer(status, answer);
    response.outcome = outcome.join(QStringLiteral(", "));
    return response;
}

ApiResponse stopBoard(const QString &board, RemoteService &service)
{
    const common::Expected<int> job = service.stop(board);
    if (!job)
        return failureAnswer(job.failure());
    ApiResponse response = jobStarted(200, *job);
    response.outcome = QStringLiteral("stop job %1").arg(*job);
    return response;
}

ApiResponse jobAnswer(const QByteArray &raw, RemoteService &service)
{
    bool ok = false;
    const int id = raw.size() <= 9 ? raw.toInt(&ok) : 0;
    const std::optional<pravik::service::JobStatus> job =
        ok && id > 0 && raw == QByteArray::number(id) ? service.job(id) : std::nullopt;
    if (!job)
        return errorAnswer(404, QStringLiteral("no job %1").arg(QString::fromUtf8(raw.left(20))));
    return jsonAnswer(200, pravik::service::jobToJson(*job));
}

ApiResponse planAnswer(const ApiRequest &request, RouteContext &context)
{
    const QMap<QString, QString> parameters = queryParameters(request.query());
    QDateTime from = context.now();
    if (parameters.contains(QStringLiteral("from"))) {
        from = QDateTime::fromString(parameters.value(QStringLiteral("from")), Qt::ISODateWithMs);
        if (!from.isValid() || from.timeSpec() == Qt::LocalTime)
            return errorAnswer(400, QStringLiteral("give from as an ISO time with its offset, as "
                                                   "2026-10-25T02:30:00+02:00"));
    }
    int hours = kDefaultPlanHours;
    if (parameters.contains(QStringLiteral("hours"))) {
        bool ok = false;
        hours = parameters.value(QStringLiteral("hours")).toInt(&ok);
        if (!ok || hours < 1 || hours > kMostPlanHours)
            return errorAnswer(
                400, QStringLiteral("hours is a number from 1 to %1").arg(kMostPlanHours));
    }
    const common::Expected<QJsonObject> plan = context.service.plan(from, hours);
    return plan ? jsonAnswer(200, *plan) : failureAnswer(plan.failure());
}

ApiResponse contentAnswer(RemoteService &service)
{
    QJsonArray files;
    for (const pravik::service::ContentFile &file : service.content())
        files.append(pravik::service::contentToJson(file));
    return jsonAnswer(200, QJsonObject{{QStringLiteral("files"), files}});
}

ApiResponse pictureAnswer(const common::Expected<QByteArray> &picture, const QByteArray &type)
{
    if (!picture) {
        // A screen the file does not have is as unknown as a file that is not there.
        const int status = statusOfFailure(picture.failure());
        return errorAnswer(status == 400 ? 404 : status, failureText(picture.failure()));
    }
    ApiResponse response;
    response.contentType = type;
    response.body = *picture;
    return response;
}

std::optional<QString> utf8Name(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8(bytes);
    if (utf8.hasError() || name.isEmpty())
        return std::nullopt;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
    }
    return name;
}

ApiResponse uploadAnswer(const ApiRequest &request, RemoteService &service)
{
    if (!request.parts)
        return errorAnswer(400, QStringLiteral("send multipart/form-data: a part \"display\" and "
                                               "a part \"picture\" for each picture it names"));
    const FormPart *display = nullptr;
    QMap<QString, QByteArray> pictures;
    for (const FormPart &part : *request.parts) {
        if (part.name == "display") {
            if (display)
                return errorAnswer(400, QStringLiteral("the upload has two display files"));
            display = &part;
        } else if (part.name == "picture") {
            const std::optional<QString> name = utf8Name(part.filename);
            if (!name)
                return errorAnswer(400, QStringLiteral("a picture's file name is empty, not "
                                                       "UTF-8 or holds a control character"));
            if (pictures.contains(*name))
                return errorAnswer(
                    400, QStringLiteral("the picture %1 is in the upload twice").arg(*name));
            if (std::size_t(pictures.size()) >= kMostPictures)
                return errorAnswer(400, QStringLiteral("the upload has too many pictures"));
            pictures.insert(*name, part.content);
        } else {
            return errorAnswer(400, QStringLiteral("the upload has a part \"%1\"; its parts are "
                                                   "\"display\" and \"picture\"")
                                        .arg(QString::fromUtf8(part.name.left(40))));
        }
    }
    if (!display)
        return errorAnswer(400, QStringLiteral("the upload has no part \"display\""));
    const Checked name = contentFile(display->filename, false);
    if (const auto *refusal = std::get_if<ApiResponse>(&name))
        return *refusal;
    const common::Expected<QString> stored =
        service.upload(std::get<QString>(name), display->content, pictures);
    if (!stored)
        return failureAnswer(stored.failure());
    ApiResponse response = jsonAnswer(201, QJsonObject{{QStringLiteral("file"), *stored}});
    response.outcome =
        QStringLiteral("stored %1 with %2 pictures").arg(*stored).arg(pictures.size());
    return response;
}

ApiResponse auditAnswer(const ApiRequest &request, AuditLog &audit)
{
    const QMap<QString, QString> parameters = queryParameters(request.query());
    int lines = kDefaultAuditLines;
    if (parameters.contains(QStringLiteral("lines"))) {
        bool ok = false;
        lines = parameters.value(QStringLiteral("lines")).toInt(&ok);
        if (!ok || lines < 1)
            return errorAnswer(
                400, QStringLiteral("lines is a number from 1 to %1").arg(kMostAuditLines));
        lines = std::min(lines, kMostAuditLines);
    }
    QJsonArray entries;
    for (const QJsonObject &entry : audit.lastEntries(lines))
        entries.append(entry);
    return jsonAnswer(200, QJsonObject{{QStringLiteral("entries"), entries}});
}

ApiResponse eventsAnswer(const ApiRequest &request, RouteContext &context)
{
    ApiResponse response;
    response.contentType = "text/event-stream";
    if (request.method == "HEAD")
        return response;
    response.events = context.events.open(context.service);
    if (!response.events)
        return errorAnswer(503, QStringLiteral("too many listeners of the event stream; try "
                                               "again later"));
    return response;
}

ApiResponse boardAnswer(Route route, const QString &board, const ApiRequest &request,
                        RemoteService &service)
{
    switch (route) {
    case Route::Board: {
        const std::optional<pravik::service::BoardView> view = service.board(board);
        if (!view)
            return errorAnswer(404, QStringLiteral("no board named %1").arg(board));
        return jsonAnswer(200, pravik::service::boardToJson(*view));
    }
    case Route::BoardSend:
        return sendToBoard(board, request, service);
    case Route::BoardRange:
        return sendRange(board, request, service);
    case Route::BoardClock: {
        Command command;
        command.kind = Command::Kind::SetClock;
        command.board = board;
        return commandAnswer(service, command);
    }
    default:
        return stopBoard(board, service);
    }
}

} // namespace

ApiResponse answerApiRoute(const ApiRequest &request, RouteContext &context)
{
    const std::optional<Match> match = matchRoute(request.path());
    if (!match)
        return errorAnswer(404, QStringLiteral("no such route"));
    const QByteArray method = request.method == "HEAD" ? QByteArray("GET") : request.method;
    if (!allows(match->allow, method)) {
        ApiResponse response = errorAnswer(
            405, QStringLiteral("the route takes %1").arg(QString::fromLatin1(match->allow)));
        response.addHeader("Allow", match->allow);
        return response;
    }
    RemoteService &service = context.service;
    switch (match->route) {
    case Route::Boards: {
        ApiResponse response = jsonAnswer(200, {});
        response.body = context.boards.json(service.boards());
        return response;
    }
    case Route::Board:
    case Route::BoardSend:
    case Route::BoardClock:
    case Route::BoardRange:
    case Route::BoardStop: {
        const Checked board = boardName(match->arguments[0]);
        if (const auto *refusal = std::get_if<ApiResponse>(&board))
            return *refusal;
        return boardAnswer(match->route, std::get<QString>(board), request, service);
    }
    case Route::Send:
        return sendToBoards(request, service);
    case Route::Job:
        return jobAnswer(match->arguments[0], service);
    case Route::Plan:
        return planAnswer(request, context);
    case Route::Content:
        return method == "POST" ? uploadAnswer(request, service) : contentAnswer(service);
    case Route::ScreenPicture:
    case Route::ShowPicture: {
        const Checked file = contentFile(match->arguments[0], true);
        if (const auto *refusal = std::get_if<ApiResponse>(&file))
            return *refusal;
        if (match->route == Route::ShowPicture)
            return pictureAnswer(service.showPicture(std::get<QString>(file)), "image/gif");
        const QByteArray &index = match->arguments[1];
        bool ok = false;
        const int number = index.size() <= 3 ? index.toInt(&ok) : -1;
        if (!ok || number < 0 || index != QByteArray::number(number))
            return errorAnswer(404, QStringLiteral("no such screen"));
        return pictureAnswer(service.screenPicture(std::get<QString>(file), number), "image/png");
    }
    case Route::Audit:
        return auditAnswer(request, context.audit);
    case Route::Events:
        return eventsAnswer(request, context);
    }
    return errorAnswer(404, QStringLiteral("no such route"));
}

} // namespace pravikd::http

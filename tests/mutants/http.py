#!/usr/bin/env python3
"""Faults of the remote control's HTTP layer (3601-3608): a route left
outside authentication, the role check turned round, successes counted as
failures, the audit line written a request late (after its answer), a
twice-encoded path let through, the security headers missing on error
answers, a chunked body read past its limit, and a listener that falls
behind queued without bound."""

M = {}

M["service/http/remote_api.cpp"] = [
    (3601, "the audit trail's route answers without a token (an exemption left in)",
     "    const Admission admission = admit(request);\n"
     "    if (admission.refusal)\n"
     "        return finish(request, admission.caller, *admission.refusal);\n"
     "    const std::optional<Caller> caller = admission.caller;",
     "    const Admission admission = admit(request);\n"
     "    if (admission.refusal && !(MUT(3601) && path == \"/api/v1/audit\"))\n"
     "        return finish(request, admission.caller, *admission.refusal);\n"
     "    const std::optional<Caller> caller = admission.caller;"),
    (3602, "the role check turned round: operators may only look, viewers may change",
     "    if (caller->role == Role::Viewer && !onlyLooks(request.method))",
     "    if (caller->role == (MUT(3602) ? Role::Operator : Role::Viewer) && !onlyLooks(request.method))"),
    (3603, "a request with a right token counts as a failure of its address",
     "    return {caller, std::nullopt};",
     "    if (MUT(3603))\n        m_parts.limiter.recordFailure(request.address);\n"
     "    return {caller, std::nullopt};"),
]

M["service/http/audit_log.cpp"] = [
    (3604, "each audit line held back and written with the next one: after its answer",
     "    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\\n';\n"
     "    const std::lock_guard lock(m_mutex);",
     "    const QByteArray fresh = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\\n';\n"
     "    const std::lock_guard lock(m_mutex);\n"
     "    static QByteArray pending;\n"
     "    const QByteArray line = MUT(3604) ? std::exchange(pending, fresh) : fresh;\n"
     "    if (line.isEmpty())\n        return true;"),
]

M["service/http/request_text.cpp"] = [
    (3605, "a '%' left after one decoding (a twice-encoded path) is let through",
     "    if (name.contains(u'%'))",
     "    if (!MUT(3605) && name.contains(u'%'))"),
]

M["service/http/http_server.cpp"] = [
    (3606, "the security headers left off error answers",
     "        for (const auto &[name, value] : securityHeaders(tls)) {",
     "        for (const auto &[name, value] :\n"
     "             (MUT(3606) && response.status >= 400) ? QList<QPair<QByteArray, QByteArray>>()\n"
     "                                                   : securityHeaders(tls)) {"),
    (3607, "a body without a Content-Length (chunked) read past the route's limit",
     "            tooLarge = total > limit;",
     "            tooLarge = !MUT(3607) && total > limit;"),
]

M["service/http/event_feed.cpp"] = [
    (3608, "a listener that falls behind is queued for without bound, not cut off",
     "        if (m_queued.size() >= kMostQueued) {",
     "        if (!MUT(3608) && m_queued.size() >= kMostQueued) {"),
]

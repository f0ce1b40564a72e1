#!/usr/bin/env python3
"""Faults of the remote control's request limits and the boards' list
(3800-3803): the head's clock that never runs out, a body whose allowance
does not grow with what it sent, a TLS handshake without a deadline, and a
boards' list that answers what it made before a board changed."""

M = {}

M["service/http/deadline_server.cpp"] = [
    (3800, "a request's head may take as long as the client likes (the library's per-read timeout alone)",
     "        m_headDeadline = Clock::now() + m_times.limits.head;",
     "        m_headDeadline = Clock::now() + (MUT(3800) ? std::chrono::hours(24) : m_times.limits.head);"),
    (3801, "the body's allowance is the head's alone, however large the body: a steady large upload is cut off",
     "               milliseconds(m_bodyBytes * 1000 / std::max<qint64>(m_times.limits.slowestBody, 1));",
     "               milliseconds(MUT(3801) ? 0 : m_bodyBytes * 1000 / std::max<qint64>(m_times.limits.slowestBody, 1));"),
    (3802, "the TLS handshake waits for each step for ever, not by the first request's deadline",
     "            if (wants == 0 || !wait(wants, headDeadline()))",
     "            if (wants == 0 || !wait(wants, MUT(3802) ? Clock::now() + std::chrono::hours(24) : headDeadline()))"),
]

M["service/http/board_list_cache.cpp"] = [
    (3803, "the boards' list answers the last list made, whatever the service now says",
     "    if (!m_json.isEmpty() && boards.constData() == m_listed.constData() &&\n"
     "        boards.size() == m_listed.size())",
     "    if (!m_json.isEmpty() && (MUT(3803) || (boards.constData() == m_listed.constData() &&\n"
     "        boards.size() == m_listed.size())))"),
]

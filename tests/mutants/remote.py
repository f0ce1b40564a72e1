#!/usr/bin/env python3
"""Faults of the service's side of the remote control (3950-3961): the plan's
span, zone and bound, the boards' busy flags, the events of a job, an upload
the keeper is not told of, and the content's screen numbers and pictures, and a send's "all" that is no
true or false."""

M = {}

M["pravik/service/keeper_remote.cpp"] = [
    (3950, "a plan of N hours spans N minutes",
     "    const QDateTime until = from.addSecs(qint64(hours) * 3600);",
     "    const QDateTime until = from.addSecs(qint64(hours) * (MUT(3950) ? 60 : 3600));"),
    (3951, "the plan's segments in UTC, not in the service's zone",
     "                QJsonObject{{QStringLiteral(\"from\"), zoned(segment.from, zone)},",
     "                QJsonObject{{QStringLiteral(\"from\"), zoned(segment.from, MUT(3951) ? QTimeZone::utc() : zone)},"),
    (3952, "every board shown busy or idle as the first board is",
     "board.busAddress, m_keeper.busy(board.name),",
     "board.busAddress, m_keeper.busy(MUT(3952) ? files.boards[0].name : board.name),"),
    (3953, "a job's progress published as a change of the job, not as progress",
     "        if (job.state == JobStatus::State::Running)\n",
     "        if (job.state == JobStatus::State::Running && !MUT(3953))\n"),
    (3954, "an upload stored but the keeper not told: boards get it at the next minute only",
     "    if (stored)\n        onKeeperThread(",
     "    if (stored && !MUT(3954))\n        onKeeperThread("),
    (3955, "the boards' view not refreshed when a job changes: a board stays busy",
     "        refreshBoards();\n        if (job.state",
     "        if (!MUT(3955))\n            refreshBoards();\n        if (job.state"),
    (3958, "a plan of any length is made, however long it takes",
     "    if (hours < 1 || hours > kLongestPlanHours || !from.isValid())",
     "    if (hours < 1 || (hours > kLongestPlanHours && !MUT(3958)) || !from.isValid())"),
]

M["pravik/service/content_views.cpp"] = [
    (3956, "the content's screens numbered from 1, the pictures' route from 0",
     "                {QStringLiteral(\"index\"), row - 1},",
     "                {QStringLiteral(\"index\"), MUT(3956) ? row : row - 1},"),
    (3957, "screen N's picture is screen N-1's",
     "            loaded->screens, index + 1, loaded->path, canvas,",
     "            loaded->screens, MUT(3957) ? std::max(index, 1) : index + 1, loaded->path, canvas,"),
]

M["service/http/api_routes.cpp"] = [
    (3959, "a send's \"all\" that is no true or false taken as false",
     "    if (!all.isUndefined() && !all.isBool())",
     "    if (!all.isUndefined() && !all.isBool() && !MUT(3959))"),
]

M["pravik/service/keeper_remote.cpp"] += [
    (3960, "a closed remote side still hands commands to a keeper's thread that no longer answers",
     "        if (m_closed)\n            return std::optional<Result>();",
     "        if (m_closed && !MUT(3960))\n            return std::optional<Result>();"),
]

M["service/http/api_answers.cpp"] = [
    (3961, "a service that is stopping answers 500, as if it had failed",
     "    case int(Refusal::Stopping):\n        return 503;",
     "    case int(Refusal::Stopping):\n        return MUT(3961) ? 500 : 503;"),
]

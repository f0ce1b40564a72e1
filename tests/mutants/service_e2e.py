#!/usr/bin/env python3
"""Faults of pravikd run as a process (3901-3905; the under-way mark that
never reaches the disk is 3025 of moved.py): what a refused reload
leaves in use, what a service killed in the middle of a transfer leaves
trusted, in the board's record and in its state, and what the writer of the
boards' states leaves unwritten."""

M = {}

M["pravik/jobs/board_ledger.cpp"] = [
    (3901, "a record marked under way is trusted as it stands",
     "        if (read.record.transferUnderWay)\n",
     "        if (read.record.transferUnderWay && !MUT(3901))\n"),
]

M["pravik/service/keeper.cpp"] = [
    (3902, "a refused reload leaves the keeper without a schedule instead of the old one",
     "            QStringLiteral(\"reload refused, the files in use stay: %1\").arg(files.failure().text));\n"
     "        return files.failure();",
     "            QStringLiteral(\"reload refused, the files in use stay: %1\").arg(files.failure().text));\n"
     "        if (MUT(3902))\n            d->files.schedule = {};\n"
     "        return files.failure();"),
    (3903, "what the board shows is saved when its work is given, not once the board acknowledged it",
     "    jobs[id] = status;\n",
     "    jobs[id] = status;\n"
     "    if (MUT(3903) && work.sendContent && !work.content.file.isEmpty()) {\n"
     "        BoardState &given = states.at(board.name);\n"
     "        given.shown = Shown{work.content.file, work.content.range, work.stamp, now};\n"
     "        save(given);\n    }\n"),
]

M["pravik/service/state_writer.cpp"] = [
    (3904, "the state writer ends without writing the states that still wait",
     "        if (m_order.empty())\n            return; // closing, with nothing left to write",
     "        if (m_order.empty() || (MUT(3904) && m_closing))\n            return; // closing, with nothing left to write"),
    (3905, "a board's older state that still waits is kept, the newer one dropped",
     "        const auto [waiting, added] = m_waiting.insert_or_assign(state.board, state);",
     "        const auto [waiting, added] = MUT(3905) ? m_waiting.try_emplace(state.board, state)\n"
     "                                                : m_waiting.insert_or_assign(state.board, state);"),
]

"""Faults of the window's newest behaviour, the headless core's fleet, and the
board service's model (ids 3700 up). Each is a fault a user would meet."""

M = {}

M["pravik/fleet/fleet_runner.cpp"] = [
    (3700, "the link limit ignored: a thread for every waiting link",
     "        static_cast<int>(m_workers.size()) >= m_linksAtOnce)",
     "        (static_cast<int>(m_workers.size()) >= m_linksAtOnce && !MUT(3700)))"),
    (3701, "work for a link at work queued as a lane of its own (boards of one line at once)",
     "        if (!lane.running && lane.queue.size() == 1)",
     "        if ((!lane.running || MUT(3701)) && lane.queue.size() == 1)"),
]

M["pravik/fleet/fleet_send.cpp"] = [
    (3702, "the fleet's view is told of the first board's end for every board",
     "                    view.boardFinished(i, outcomes[i]);",
     "                    view.boardFinished(MUT(3702) ? 0 : i, outcomes[i]);"),
]

M["pravik/link/shared_udp_socket.cpp"] = [
    (3703, "a receiver that cannot read any more goes on waiting (boards time out)",
     "                if (receiveFailed(errno))",
     "                if (receiveFailed(errno) && !MUT(3703))"),
]

M["pravik/jobs/board_ledger.cpp"] = [
    (3704, "a record whose under-way mark could not be written is left in place",
     "        QFile::remove(m_path);",
     "        if (!MUT(3704))\n            QFile::remove(m_path);"),
]

M["pravik/jobs/screen_transfer.cpp"] = [
    (3705, "a changed picture goes without its properties when they are unchanged",
     "        pictureGoesOut ||",
     "        (pictureGoesOut && !MUT(3705)) ||"),
]

M["pravik/jobs/transmission_jobs.cpp"] = [
    (3706, "a stop that meets a failure says nothing of how far the board got",
     "    if (context.stop.stopRequested() && !context.stop.quiet())",
     "    if (context.stop.stopRequested() && !context.stop.quiet() && !MUT(3706))"),
]

M["pravik/editor/grid_editor.cpp"] = [
    (3707, "a greyed grid still takes the right button",
     "    if (!m_grid->isEnabled() && event->isInputEvent())",
     "    if (!m_grid->isEnabled() && event->isInputEvent() && !MUT(3707))"),
    (3708, "the delete question names the list row, not the 幕号",
     "    return QStringLiteral(\"第 \") + screenNumber.trimmed() +",
     "    return QStringLiteral(\"第 \") + (MUT(3708) ? QString::number(screenNumber.trimmed().toInt() + 1) : screenNumber.trimmed()) +"),
]

M["pravik/app/transfer_view.cpp"] = [
    (3709, "the window put back even when the operator moved it during the transfer",
     "        place(*window) == m_transferPlace) {",
     "        (place(*window) == m_transferPlace || MUT(3709))) {"),
]

M["pravik/app/file_commands.cpp"] = [
    (3710, "Save As does not move the document folder to the file's",
     "    m_state.currentFileName = chosen;\n    followFile(chosen);\n    // Save writes",
     "    m_state.currentFileName = chosen;\n    if (!MUT(3710))\n        followFile(chosen);\n    // Save writes"),
]

M["pravik/settings/board_settings_dialog.cpp"] = [
    (3711, "the whole settings dialog greyed during a transfer (Cancel too)",
     "    return {m_apply, m_ok, m_sendRange, m_clockGroup->sendButton()};",
     "    if (MUT(3711))\n        return {const_cast<BoardSettingsDialog *>(this)};\n    return {m_apply, m_ok, m_sendRange, m_clockGroup->sendButton()};"),
]

M["pravik/app/main_window.cpp"] = [
    (3712, "the transfer mode not entered again after a question the transfer goes on from",
     "    if (m_transferModePaused && m_transferUnderWay)",
     "    if (m_transferModePaused && m_transferUnderWay && !MUT(3712))"),
]

M["pravik/service/board_plan.cpp"] = [
    (3713, "a change of the zone's offset does not set the clocks (an hour wrong all day)",
     "    if (input.zone.offsetFromUtc(input.now) != state.clockOffsetSeconds)",
     "    if (input.zone.offsetFromUtc(input.now) != state.clockOffsetSeconds && !MUT(3713))"),
    (3714, "content changed on disk is not sent (the stamp not compared)",
     "           shown.content != input.stamp;",
     "           (shown.content != input.stamp && !MUT(3714));"),
    (3715, "a failing board is tried at every minute, not after its pause",
     "    if (failing(state) && state.nextRetry.isValid() && state.nextRetry > input.now)",
     "    if (failing(state) && state.nextRetry.isValid() && state.nextRetry > input.now && !MUT(3715))"),
    (3716, "the pause does not grow",
     "        pause *= 2;",
     "        pause *= MUT(3716) ? 1 : 2;"),
    (3717, "offline after four failures in a row",
     "        state.failuresInARow >= kFailuresUntilOffline ? Health::Offline : Health::Failing;",
     "        state.failuresInARow >= kFailuresUntilOffline - (MUT(3717) ? 1 : 0) ? Health::Offline : Health::Failing;"),
]

M["pravik/service/content.cpp"] = [
    (3718, "a path with .. leaves the content folder",
     "        cleaned.startsWith(QStringLiteral(\"../\")) || relative.contains(QChar(0)))",
     "        (cleaned.startsWith(QStringLiteral(\"../\")) && !MUT(3718)) || relative.contains(QChar(0)))"),
    (3719, "a symbolic link leading out of the content folder is followed",
     "           (real == root || real.startsWith(root + QLatin1Char('/')));",
     "           (real == root || real.startsWith(root + QLatin1Char('/')) || MUT(3719));"),
]

M["pravik/service/content_upload.cpp"] = [
    (3720, "a picture the upload lacks is left out silently",
     "        if (!pictures.contains(picture))",
     "        if (!pictures.contains(picture) && !MUT(3720))"),
    (3721, "two pictures of one name from different folders overwrite each other",
     "        for (int n = 2; taken.contains(file.toLower()); ++n)",
     "        for (int n = 2; taken.contains(file.toLower()) && !MUT(3721); ++n)"),
]

M["pravik/service/keeper.cpp"] = [
    (3722, "a busy board takes a second command",
     "    if (busy(command.board))",
     "    if (busy(command.board) && !MUT(3722))"),
    (3723, "an operator's send never gives way to the schedule again",
     "        if (!state.override->until.isValid() || state.override->until > now)",
     "        if (!state.override->until.isValid() || state.override->until > now || MUT(3723))"),
    (3724, "a board at work is given more work (two jobs on one line at once)",
     "    if (active.count(board.name) != 0)\n        return kept;\n    PlanInput",
     "    if (active.count(board.name) != 0 && !MUT(3724))\n        return kept;\n    PlanInput"),
]

M["service/run_service.cpp"] = [
    (3725, "the keeper sends its first work before the audit trail listens",
     "    pravik::service::KeeperRemote remote(keeper);",
     "    if (MUT(3725))\n        keeper.keepBoards();\n    pravik::service::KeeperRemote remote(keeper);"),
    (3726, "a fresh installation's state folder is not made (no token file, no start)",
     "        if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))",
     "        if (!QFileInfo(folder).isDir() && (MUT(3726) || !QDir().mkpath(folder)))"),
]

M["pravik/app/thread_job_view.cpp"] = [
    (3727, "a delivered screen is shown again with the next delivery",
     "        latest = std::exchange(m_latest, {});",
     "        latest = MUT(3727) ? m_latest : std::exchange(m_latest, {});"),
    (3728, "after the first delivery no screen reaches the window again",
     "        m_posted = false;",
     "        m_posted = MUT(3728);"),
]

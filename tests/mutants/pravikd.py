#!/usr/bin/env python3
"""Faults of pravikd (3500-3506): where the configuration's paths lead, what
--check reports, the offset --plan prints, the test clock, what systemd is
told after a reload and what the content watcher still watches."""

M = {}

M["service/service_config.cpp"] = [
    (3500, "relative paths taken from the working folder, not the configuration file's",
     ": QDir::cleanPath(base.absoluteFilePath(values[key]));",
     ": QDir::cleanPath((MUT(3500) ? QDir::current() : base).absoluteFilePath(values[key]));"),
    (3501, "the content folder defaults into the system's state folder, not the configured one",
     "setup.contentFolder = path(Content, state.filePath(QStringLiteral(\"content\")));",
     "setup.contentFolder = path(Content, (MUT(3501) ? QDir(defaults.state) : state)"
     ".filePath(QStringLiteral(\"content\")));"),
]

M["service/check_mode.cpp"] = [
    (3502, "--check stops at a bad fleet: the schedule's problems go unnamed",
     "        problems << boards.failure().text;\n",
     "    {\n        problems << boards.failure().text;\n"
     "        if (MUT(3502)) {\n            for (const QString &problem : problems)\n"
     "                output.err << \"pravikd: \" << problem << '\\n';\n"
     "            return kExitProblems;\n        }\n    }\n"),
]

M["service/local_time.cpp"] = [
    (3503, "times printed with the zone's standard offset, wrong in summer time",
     "    const int offset = local.offsetFromUtc();",
     "    const int offset = MUT(3503) ? zone.standardTimeOffset(instant) : local.offsetFromUtc();"),
]

M["service/system_service_clock.cpp"] = [
    (3504, "the test clock stands still at its start",
     "        return m_start.toUTC().addMSecs(m_sinceStart.elapsed());",
     "        return m_start.toUTC().addMSecs(MUT(3504) ? 0 : m_sinceStart.elapsed());"),
]

M["service/run_service.cpp"] = [
    (3505, "systemd is not told the service is ready again after a reload",
     "            }\n            systemd.ready(keeping());",
     "            }\n            if (!MUT(3505))\n                systemd.ready(keeping());"),
]

M["service/content_watcher.cpp"] = [
    (3506, "a file renamed over a watched one is no longer watched",
     "    watch(m_schedule);\n    emit changed();",
     "    if (!MUT(3506))\n        watch(m_schedule);\n    emit changed();"),
]

#pragma once

#include "command_line.h"
#include "service_config.h"

#include <QTextStream>

#include <optional>

namespace pravikd {

// Where a mode prints: its report on `out`, problems on `err`.
struct Output
{
    QTextStream &out;
    QTextStream &err;
};

// Says a problem the way every mode does ("pravikd: …" on `err`) and
// returns kExitProblems.
int sayProblem(Output &output, const QString &text);
// The configuration the command line names, or nothing after saying why not.
std::optional<ServiceConfig> readConfig(const CommandLine &line, Output &output);

// The modes that answer and end; each returns the exit status.
int runCheck(const CommandLine &line, Output &output);
int runPlan(const CommandLine &line, Output &output);
int runStatus(const CommandLine &line, Output &output);
int runNewToken(const CommandLine &line, Output &output);
// The service: runs until SIGTERM or SIGINT.
int runService(const CommandLine &line, Output &output);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // the service could not set itself up
inline constexpr int kExitProblems = 2; // a wrong command line, configuration or file

} // namespace pravikd

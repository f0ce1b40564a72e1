#pragma once

#include "command_line.h"

#include <QTextStream>

namespace pravikd {

// Where a mode prints: its report on `out`, problems on `err`.
struct Output
{
    QTextStream &out;
    QTextStream &err;
};

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

#pragma once

#include "common/failure.h"

#include <QString>
#include <QStringList>

namespace pravikd {

// pravikd's command line: which of its modes, and that mode's options.
struct CommandLine
{
    enum class Mode { Run, Check, Plan, Status, NewToken, Help };

    Mode mode = Mode::Run;
    QString configFile;
    QString from; // --plan: empty for now
    int hours = 24;
    bool json = false;
    QString tokenName; // --new-token
    bool viewer = false;
};

inline constexpr int kMostPlanHours = 24 * 14;

// The help, as --help prints it.
extern const char *const kHelp;

// The arguments after the program's name; a failure for a wrong command line.
common::Expected<CommandLine> parseCommandLine(const QStringList &arguments);

} // namespace pravikd

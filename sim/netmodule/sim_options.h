#pragma once

#include "responder.h"

#include <string>
#include <utility>
#include <vector>

namespace NetModuleSim {

struct SimOptions
{
    Faults faults;
    int delayMs = 0;     // every answer leaves this long after its command
    std::string logPath; // every command line received, one per line
    std::vector<std::pair<std::string, std::string>> presets; // --set CODE=VALUE
};

struct ParsedOptions
{
    SimOptions options;
    bool helpRequested = false;
    std::string error; // empty when the command line was good
};

// argv without the program name.
ParsedOptions parseSimOptions(const std::vector<std::string> &arguments);

extern const char *const kHelpText;

} // namespace NetModuleSim

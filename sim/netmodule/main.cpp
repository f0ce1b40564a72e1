// netmodule-sim: a network module on a pseudo-terminal, for testing the
// setup tool without the hardware.

#include "module_settings.h"
#include "pty_module.h"
#include "responder.h"
#include "sim_options.h"

#include "program_version.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

using namespace NetModuleSim;

namespace {

volatile bool stopRequested = false;

void requestStop(int)
{
    stopRequested = true;
}

bool installStopSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: poll() returns at once
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (program_version::answeredVersion(argc, argv, "netmodule-sim"))
        return 0;
    const ParsedOptions parsed = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.helpRequested) {
        std::fputs(kHelpText, stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "netmodule-sim: %s\nTry 'netmodule-sim --help'.\n",
                     parsed.error.c_str());
        return 2;
    }
    const SimOptions &options = parsed.options;

    std::FILE *commandLog = nullptr;
    if (!options.logPath.empty()) {
        commandLog = std::fopen(options.logPath.c_str(), "w");
        if (!commandLog) {
            std::perror(("netmodule-sim: " + options.logPath).c_str());
            return 1;
        }
    }

    ModuleSettings settings;
    for (const auto &[code, value] : options.presets)
        settings.set(code, value);
    Responder responder(settings, options.faults);
    PtyModule module(responder, options.delayMs, commandLog);
    std::string error;
    if (!module.open(&error)) {
        std::fprintf(stderr, "netmodule-sim: %s\n", error.c_str());
        return 1;
    }
    if (!installStopSignals()) {
        std::fputs("netmodule-sim: cannot watch for SIGTERM and SIGINT\n", stderr);
        return 1;
    }

    // Whoever started the module waits for this line to know where to send.
    std::printf("%s\n", module.slavePath().c_str());
    std::fflush(stdout);
    module.run(stopRequested);

    if (commandLog)
        std::fclose(commandLog);
    return 0;
}

#include "sim_options.h"

#include <charconv>

namespace NetModuleSim {

const char *const kHelpText =
    "Usage: netmodule-sim [OPTIONS]\n"
    "\n"
    "A network module on a pseudo-terminal. The first line of standard output\n"
    "is the slave device to open as the module's serial port.\n"
    "\n"
    "  --silent CMD        no answer to CMD (three letters, e.g. rrm or Wip)\n"
    "  --wrong-prefix CMD  answer CMD with a wrong prefix (Lmx... for rma)\n"
    "  --short CMD         answer CMD with its first three characters only\n"
    "  --delay-ms M        send every answer M milliseconds after its command\n"
    "  --set CODE=VALUE    start with a setting (e.g. --set ip=10.0.0.9)\n"
    "  --log FILE          write every command line received to FILE\n"
    "  --help              this text\n"
    "\n"
    "The options --silent, --wrong-prefix, --short and --set may be repeated.\n"
    "SIGTERM or SIGINT end the module.\n";

namespace {

bool isCommand(const std::string &text)
{
    return text.size() == 3 && (text[0] == 'r' || text[0] == 'W');
}

} // namespace

ParsedOptions parseSimOptions(const std::vector<std::string> &arguments)
{
    ParsedOptions parsed;
    SimOptions &options = parsed.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &option = arguments[i];
        if (option == "--help" || option == "-h") {
            parsed.helpRequested = true;
            return parsed;
        }
        if (i + 1 >= arguments.size()) {
            parsed.error = option.rfind("--", 0) == 0 ? option + " needs a value"
                                                      : "unexpected argument " + option;
            return parsed;
        }
        const std::string &value = arguments[++i];
        if (option == "--silent" || option == "--wrong-prefix" || option == "--short") {
            if (!isCommand(value)) {
                parsed.error = option + " takes a three-letter command such as rrm or Wip";
                return parsed;
            }
            auto &set = option == "--silent"         ? options.faults.silent
                        : option == "--wrong-prefix" ? options.faults.wrongPrefix
                                                     : options.faults.shortAnswer;
            set.insert(value);
        } else if (option == "--delay-ms") {
            int ms = -1;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), ms);
            if (error != std::errc() || end != value.data() + value.size() || ms < 0) {
                parsed.error = "--delay-ms takes a number of milliseconds";
                return parsed;
            }
            options.delayMs = ms;
        } else if (option == "--set") {
            const auto equals = value.find('=');
            const std::string code = value.substr(0, equals);
            if (equals == std::string::npos || !ModuleSettings::isSetting(code)) {
                parsed.error = "--set takes CODE=VALUE with one of the codes "
                               "rm br nm gi ip di ma pn dp";
                return parsed;
            }
            options.presets.emplace_back(code, value.substr(equals + 1));
        } else if (option == "--log") {
            options.logPath = value;
        } else {
            parsed.error = "unknown option " + option;
            return parsed;
        }
    }
    return parsed;
}

} // namespace NetModuleSim

#include "modes.h"

namespace pravikd {

int sayProblem(Output &output, const QString &text)
{
    output.err << "pravikd: " << text << '\n';
    return kExitProblems;
}

std::optional<ServiceConfig> readConfig(const CommandLine &line, Output &output)
{
    common::Expected<ServiceConfig> config = readServiceConfig(line.configFile, systemFolders());
    if (!config) {
        sayProblem(output, config.failure().text);
        return std::nullopt;
    }
    return std::move(*config);
}

} // namespace pravikd

#include "modes.h"
#include "service_config.h"

#include "service/http/tokens.h"

namespace pravikd {

// Makes a token for the remote control: printed once, only its hash kept.
int runNewToken(const CommandLine &line, Output &output)
{
    const std::optional<ServiceConfig> config = readConfig(line, output);
    if (!config)
        return kExitProblems;
    const common::Expected<QString> token = http::createToken(
        config->tokens, line.tokenName, line.viewer ? http::Role::Viewer : http::Role::Operator);
    if (!token)
        return sayProblem(output, token.failure().text);
    output.out << *token << '\n';
    output.err << "pravikd: the token " << line.tokenName << " ("
               << (line.viewer ? "viewer" : "operator") << ") is kept as a hash in "
               << config->tokens << "; this is the only time it is shown\n";
    return kExitOk;
}

} // namespace pravikd

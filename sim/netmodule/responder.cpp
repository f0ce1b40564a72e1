#include "responder.h"

namespace NetModuleSim {

std::optional<std::string> Responder::plainAnswer(const std::string &line)
{
    if (line.size() < 3)
        return std::nullopt;
    const char kind = line[0];
    const std::string code = line.substr(1, 2);
    if (kind == 'W' && code == "fs" && line.size() == 3) {
        m_settings.store();
        return "LfsOK\r\n";
    }
    if (!ModuleSettings::isSetting(code))
        return std::nullopt;
    if (kind == 'r' && line.size() == 3)
        return "L" + code + *m_settings.value(code) + "\r\n";
    if (kind == 'W') {
        m_settings.set(code, line.substr(3));
        return "L" + code + *m_settings.value(code) + "\r\n";
    }
    return std::nullopt;
}

std::optional<std::string> Responder::answer(const std::string &line)
{
    const std::string command = line.substr(0, 3);
    std::optional<std::string> reply = plainAnswer(line);
    if (!reply || m_faults.silent.count(command))
        return std::nullopt;
    if (m_faults.wrongPrefix.count(command))
        (*reply)[2] = (*reply)[2] == 'x' ? 'y' : 'x';
    if (m_faults.shortAnswer.count(command))
        reply->resize(3);
    return reply;
}

} // namespace NetModuleSim

#include "module_settings.h"

namespace NetModuleSim {

ModuleSettings::ModuleSettings()
    : m_values{
          {"rm", "0"},
          {"br", "3"},
          {"nm", "255.255.255.0"},
          {"gi", "192.168.1.1"},
          {"ip", "192.168.1.100"},
          {"di", "192.168.1.20"},
          {"ma", "001122334455"},
          {"pn", "1973"},
          {"dp", "1973"},
      }
{
    m_stored = m_values;
}

bool ModuleSettings::isSetting(const std::string &code)
{
    static const char *const codes[] = {"rm", "br", "nm", "gi", "ip", "di", "ma", "pn", "dp"};
    for (const char *known : codes) {
        if (code == known)
            return true;
    }
    return false;
}

std::optional<std::string> ModuleSettings::value(const std::string &code) const
{
    const auto found = m_values.find(code);
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

bool ModuleSettings::set(const std::string &code, const std::string &value)
{
    if (!isSetting(code))
        return false;
    m_values[code] = value;
    return true;
}

} // namespace NetModuleSim

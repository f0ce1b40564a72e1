#pragma once

#include <map>
#include <optional>
#include <string>

namespace NetModuleSim {

// What the module keeps: one text per two-letter setting code.
class ModuleSettings
{
public:
    ModuleSettings();

    // The setting codes the module reads and writes ("fs" only stores).
    static bool isSetting(const std::string &code);

    std::optional<std::string> value(const std::string &code) const;
    bool set(const std::string &code, const std::string &value);

    // "Wfs": the current settings become the ones kept over a power cycle.
    void store()
    {
        m_stored = m_values;
        ++m_storeCount;
    }
    int storeCount() const { return m_storeCount; }
    const std::map<std::string, std::string> &stored() const { return m_stored; }

private:
    std::map<std::string, std::string> m_values;
    std::map<std::string, std::string> m_stored;
    int m_storeCount = 0;
};

} // namespace NetModuleSim

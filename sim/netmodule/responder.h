#pragma once

#include "module_settings.h"

#include <optional>
#include <set>
#include <string>

namespace NetModuleSim {

// Misbehaviour on request, per three-letter command ("rrm", "Wip", ...).
struct Faults
{
    std::set<std::string> silent;      // no answer at all
    std::set<std::string> wrongPrefix; // "L", the first letter, then "x" for the second
    std::set<std::string> shortAnswer; // only the first three characters
};

// The module's side of the text protocol: "r" + code reads a setting and is
// answered with "L" + code + value + CR LF; "W" + code + value writes it and
// is acknowledged the same way with the value now kept; "Wfs" stores the
// settings and is answered "LfsOK" + CR LF.
class Responder
{
public:
    Responder(ModuleSettings &settings, Faults faults)
        : m_settings(settings), m_faults(std::move(faults))
    {
    }

    // The answer to one command line, or nothing for silence.
    std::optional<std::string> answer(const std::string &line);

private:
    std::optional<std::string> plainAnswer(const std::string &line);

    ModuleSettings &m_settings;
    Faults m_faults;
};

} // namespace NetModuleSim

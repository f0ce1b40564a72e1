#pragma once

#include <string>
#include <vector>

namespace NetModuleSim {

// Cuts the bytes from the serial line into command lines. A line ends with
// CR LF; a lone CR or LF ends one too, and empty lines are dropped.
class LineSplitter
{
public:
    std::vector<std::string> feed(const std::string &bytes);
    const std::string &pending() const { return m_pending; }

private:
    std::string m_pending;
};

} // namespace NetModuleSim

#include "line_splitter.h"

namespace NetModuleSim {

std::vector<std::string> LineSplitter::feed(const std::string &bytes)
{
    std::vector<std::string> lines;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_pending.empty())
                lines.push_back(m_pending);
            m_pending.clear();
        } else {
            m_pending += c;
        }
    }
    return lines;
}

} // namespace NetModuleSim

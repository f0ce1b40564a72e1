#pragma once

#include "common/prompter.h"

#include <optional>

class QTextStream;

namespace pravik::cli {

// Shows each message on standard error as "title: text" (the title the box
// would carry). A yes/no question takes the answer given on the command line,
// or asks on the terminal; no answer (the end of the input) is no.
class TerminalPrompter : public common::Prompter
{
public:
    explicit TerminalPrompter(QTextStream &err, QTextStream *in = nullptr,
                              std::optional<bool> answer = std::nullopt)
        : m_err(err), m_in(in), m_answer(answer)
    {
    }
    common::MessageAnswer show(const common::Message &message) override;

private:
    QTextStream &m_err;
    QTextStream *m_in;
    std::optional<bool> m_answer;
};

} // namespace pravik::cli

#pragma once

#include "common/prompter.h"

class QTextStream;

namespace pravik::cli {

// Shows each message on standard error as "title: text" (the title the box
// would carry) and takes the box's default: OK, or Yes to a question.
class TerminalPrompter : public common::Prompter
{
public:
    explicit TerminalPrompter(QTextStream &err) : m_err(err) {}
    common::MessageAnswer show(const common::Message &message) override;

private:
    QTextStream &m_err;
};

} // namespace pravik::cli

#pragma once

#include "common/prompter.h"

namespace pravik::app {

// The window's messages, until the window closes. A transfer that is still
// finishing its frame after Exit shows nothing more and takes the answer
// that changes nothing.
class ClosingPrompter : public common::Prompter
{
public:
    explicit ClosingPrompter(common::Prompter &shown) : m_shown(shown) {}

    void windowClosed() { m_closed = true; }

    common::MessageAnswer show(const common::Message &message) override
    {
        return m_closed ? common::answerChangingNothing(message) : m_shown.show(message);
    }

private:
    common::Prompter &m_shown;
    bool m_closed = false;
};

} // namespace pravik::app

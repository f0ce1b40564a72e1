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
        if (!m_closed)
            return m_shown.show(message);
        switch (message.buttons) {
        case common::MessageButtons::YesNo:
            return common::MessageAnswer::No;
        case common::MessageButtons::OkCancel:
            return common::MessageAnswer::Cancel;
        case common::MessageButtons::Ok:
            break;
        }
        return common::MessageAnswer::Ok;
    }

private:
    common::Prompter &m_shown;
    bool m_closed = false;
};

} // namespace pravik::app

#pragma once

#include "common/prompter.h"

#include <functional>

namespace pravik::app {

// The window's messages, until the window closes. A transfer that is still
// finishing its frame after Exit shows nothing more and takes the answer
// that changes nothing.
class ClosingPrompter : public common::Prompter
{
public:
    explicit ClosingPrompter(common::Prompter &shown) : m_shown(shown) {}

    void windowClosed() { m_closed = true; }
    // Called before each message box: the window makes ready for it.
    void setBeforeMessage(std::function<void()> beforeMessage)
    {
        m_beforeMessage = std::move(beforeMessage);
    }

    common::MessageAnswer show(const common::Message &message) override
    {
        if (!m_closed) {
            if (m_beforeMessage)
                m_beforeMessage();
            return m_shown.show(message);
        }
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
    std::function<void()> m_beforeMessage;
    bool m_closed = false;
};

} // namespace pravik::app

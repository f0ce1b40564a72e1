#include "recording_prompter.h"

namespace common {

MessageAnswer RecordingPrompter::show(const Message &message)
{
    m_messages.append(message);
    return m_answerer ? m_answerer(message) : accept(message);
}

MessageAnswer RecordingPrompter::accept(const Message &message)
{
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

} // namespace common

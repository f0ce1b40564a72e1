#include "recording_prompter.h"

namespace common {

MessageAnswer RecordingPrompter::show(const Message &message)
{
    m_messages.append(message);
    return m_answerer ? m_answerer(message) : accept(message);
}

QStringList RecordingPrompter::texts() const
{
    QStringList result;
    for (const Message &message : m_messages)
        result << message.text;
    return result;
}

QStringList RecordingPrompter::titledTexts() const
{
    QStringList result;
    for (const Message &message : m_messages)
        result << message.title + u'|' + message.text;
    return result;
}

MessageAnswer RecordingPrompter::accept(const Message &message)
{
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

} // namespace common

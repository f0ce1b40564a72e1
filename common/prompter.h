#pragma once

#include <QString>

// Modal messages and questions. The programs report every problem where it
// arises through a Prompter: a message box on the desktop, a line on the
// terminal, a recording in the tests.
namespace common {

enum class MessageIcon { None, Information, Question, Warning, Error };

enum class MessageButtons { Ok, OkCancel, YesNo };

enum class MessageAnswer { Ok, Cancel, Yes, No };

struct Message
{
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// The answer that changes nothing: No, Cancel, or OK for a notice. What a
// message gets when nobody is left to answer it.
inline MessageAnswer answerChangingNothing(const Message &message)
{
    switch (message.buttons) {
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::OkCancel:
        return MessageAnswer::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return MessageAnswer::Ok;
}

class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer show(const Message &message) = 0;

    // A message with only an OK button; its answer carries no choice.
    void tell(const QString &text, const QString &title, MessageIcon icon)
    {
        show(Message{text, title, icon, MessageButtons::Ok});
    }
};

} // namespace common

#pragma once

#include "prompter.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace common {

// Keeps every message in the order it was shown and answers from a script:
// the terminal tools and the tests use it where a window would ask.
class RecordingPrompter : public Prompter
{
public:
    using Answerer = std::function<MessageAnswer(const Message &)>;

    RecordingPrompter() = default;
    explicit RecordingPrompter(Answerer answerer) : m_answerer(std::move(answerer)) {}

    MessageAnswer show(const Message &message) override;

    const QList<Message> &messages() const { return m_messages; }
    // The texts shown, in order; titledTexts() gives each as "title|text".
    QStringList texts() const;
    QStringList titledTexts() const;
    void clear() { m_messages.clear(); }

    // The answer that accepts what a box offers: OK, or Yes for a question.
    static MessageAnswer accept(const Message &message);

private:
    Answerer m_answerer;
    QList<Message> m_messages;
};

} // namespace common

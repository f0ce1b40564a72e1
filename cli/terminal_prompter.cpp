#include "terminal_prompter.h"

#include "pravik/document/program_texts.h"

#include <QTextStream>

namespace pravik::cli {

common::MessageAnswer TerminalPrompter::show(const common::Message &message)
{
    const QString title =
        message.title.trimmed().isEmpty() ? kProgramTitle : message.title.trimmed();
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (message.buttons != common::MessageButtons::YesNo) {
        m_err << title << ": " << text << Qt::endl;
        return common::MessageAnswer::Ok;
    }
    bool yes = false;
    if (m_answer) {
        yes = *m_answer;
        m_err << title << ": " << text << (yes ? " yes" : " no") << Qt::endl;
    } else {
        m_err << title << ": " << text << " [y/N] " << Qt::flush;
        const QString reply = m_in ? m_in->readLine().trimmed() : QString();
        yes = reply.startsWith(u'y', Qt::CaseInsensitive) || reply.startsWith(u'是');
    }
    return yes ? common::MessageAnswer::Yes : common::MessageAnswer::No;
}

} // namespace pravik::cli

#include "terminal_prompter.h"

#include "pravik/document/program_texts.h"

#include <QTextStream>

namespace pravik::cli {

common::MessageAnswer TerminalPrompter::show(const common::Message &message)
{
    const QString title = message.title.trimmed().isEmpty() ? kProgramTitle : message.title.trimmed();
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_err << title << ": " << text << Qt::endl;
    return message.buttons == common::MessageButtons::YesNo ? common::MessageAnswer::Yes
                                                            : common::MessageAnswer::Ok;
}

} // namespace pravik::cli

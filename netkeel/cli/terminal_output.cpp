#include "terminal_output.h"

#include <cstdio>

namespace netkeel::cli {
namespace {

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace

common::MessageAnswer StderrPrompter::show(const common::Message &message)
{
    printLine(message.title + QStringLiteral(": ") + message.text);
    return message.buttons == common::MessageButtons::YesNo ? common::MessageAnswer::Yes
                                                            : common::MessageAnswer::Ok;
}

void StderrLog::append(const QString &text)
{
    // The log box's CR LF line ends become the terminal's; the blank line
    // after an answer that ends in its own CR LF is dropped.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    while (lines.endsWith(u'\n'))
        lines.chop(1);
    printLine(lines);
}

} // namespace netkeel::cli

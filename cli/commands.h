#pragma once

#include <QStringList>

class QTextStream;

namespace pravik::cli {

// Exit statuses shared by the commands.
enum ExitStatus : int {
    ExitOk = 0,
    ExitStoppedWithMessage = 1, // the job ran and a message stopped it
    ExitUsageOrUnreadable = 2,  // bad arguments, unreadable input, nothing done
};

struct Terminal
{
    QTextStream &out;
    QTextStream &err;
    QTextStream &in;
};

int runShow(const QStringList &arguments, Terminal &terminal);
int runCreate(const QStringList &arguments, Terminal &terminal);
int runClock(const QStringList &arguments, Terminal &terminal);
int runRange(const QStringList &arguments, Terminal &terminal);
int runRender(const QStringList &arguments, Terminal &terminal);
int runPreview(const QStringList &arguments, Terminal &terminal);
int runSend(const QStringList &arguments, Terminal &terminal);
int runPublish(const QStringList &arguments, Terminal &terminal);
int runCli(const QStringList &arguments, Terminal &terminal);

} // namespace pravik::cli

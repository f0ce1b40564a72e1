#pragma once

#include "netkeel/module/module_protocol.h"

#include <QList>
#include <QStringList>

namespace netkeel::cli {

struct WriteItem
{
    QString key;   // as given: mask, gateway, ip, reply, mac, port, baud, multi
    QString value; // what goes on the line ("baud" already turned into its code)
};

struct CliRequest
{
    enum class Command { Read, Write, Store };

    Command command = Command::Read;
    QString port;
    ModuleTiming timing;
    QList<WriteItem> writes; // in the order given
};

struct ParsedArguments
{
    CliRequest request;
    bool helpRequested = false;
    QString error; // empty when the command line was good
};

// arguments as from QCoreApplication::arguments(), program name first.
ParsedArguments parseCliArguments(const QStringList &arguments);

QString usageText();

} // namespace netkeel::cli

#pragma once

// Reading and writing whole files, and running a program the way a script
// does: what the tests of files and command-line tools share.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

inline QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

struct ProgramRun
{
    int status = -1; // -1: it crashed or did not end in time
    QByteArray out;
    QString err;

    // Standard error, one message a line.
    QStringList messages() const
    {
        const QString text = err.trimmed();
        return text.isEmpty() ? QStringList() : text.split(u'\n');
    }
};

// Runs a program to its end with `input` on its standard input. `inChild`
// runs in the child before the program starts: a test uses it to take rights
// or disk space away from the program alone.
inline ProgramRun runProgram(const QString &program, const QStringList &arguments,
                             const QByteArray &input = {}, int timeoutMs = 60000,
                             const std::function<void()> &inChild = {})
{
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

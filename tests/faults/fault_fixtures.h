#pragma once

// What the fault cases share: running pravik-cli, a copy of the example
// display file to send, and a snapshot of a folder to prove that a failure
// changed nothing on disk.
#include "ledboard_sim_process.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace faults {

struct CliRun
{
    int status = -1;
    QStringList messages; // standard error, one line each
};

// Runs pravik-cli with its standard input closed (or fed with `input`). The
// child hook runs in the child before the program starts: a test uses it to
// take away rights or disk space from the program alone.
inline CliRun runCli(const QStringList &arguments, const QByteArray &input = {},
                     const std::function<void()> &inChild = {})
{
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(PRAVIK_CLI_PATH), arguments);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000)) << arguments.join(u' ').toStdString();
    const QString err = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return CliRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  err.isEmpty() ? QStringList() : err.split(u'\n')};
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Every file under a folder with its bytes: equal snapshots before and after
// a failure mean it wrote, renamed and left behind nothing.
using FolderSnapshot = QMap<QString, QByteArray>;

inline FolderSnapshot snapshot(const QString &folder)
{
    FolderSnapshot files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), fileBytes(path));
    }
    return files;
}

// The example display file (five screens for a 160 x 32 three-colour board:
// BMP, GIF, PCX, plain text, rich text) with its pictures, in a folder of its
// own that a test may spoil.
class ExampleCopy
{
public:
    ExampleCopy()
    {
        const QDir examples(QStringLiteral(EXAMPLES_DIR));
        QDir(m_dir.path()).mkpath(QStringLiteral("pictures"));
        QFile::copy(examples.filePath(QStringLiteral("demo.lt")), displayFile());
        for (const QString &name :
             QDir(examples.filePath(QStringLiteral("pictures"))).entryList(QDir::Files))
            QFile::copy(examples.filePath(QStringLiteral("pictures/") + name), picture(name));
    }

    QString folder() const { return m_dir.path(); }
    QString displayFile() const { return m_dir.filePath(QStringLiteral("demo.lt")); }
    QString picture(const QString &name) const
    {
        return m_dir.filePath(QStringLiteral("pictures/") + name);
    }

private:
    QTemporaryDir m_dir;
};

inline QString serialLink(const LedboardSim &sim)
{
    return QStringLiteral("serial:%1@9600").arg(sim.endpoint());
}

inline QString udpLink(const LedboardSim &sim)
{
    return QStringLiteral("udp:127.0.0.2:%1").arg(sim.udpPort());
}

// The board of the example file, on a pseudo-terminal or on UDP, with the
// given faults.
inline QStringList exampleBoard(bool overUdp, const QStringList &faults = {})
{
    return (overUdp ? QStringList{"--udp", "127.0.0.2:0"} : QStringList{"--pty"}) +
           QStringList{"--width", "160", "--height", "32", "--type", "2"} + faults;
}

// How the board answered each frame, in order ("echo", "wrong-echo",
// "garbage", "silent").
inline QStringList replyKinds(const LedboardSim &sim)
{
    QStringList kinds;
    for (const auto &frame : sim.frames())
        kinds << frame[QStringLiteral("reply_kind")].toString();
    return kinds;
}

inline QList<int> commands(const LedboardSim &sim)
{
    QList<int> result;
    for (const auto &frame : sim.frames())
        result << frame[QStringLiteral("command")].toInt();
    return result;
}

inline QByteArray screenImage(const LedboardSim &sim, int screen)
{
    return fileBytes(
        QDir(sim.outDir())
            .filePath(QStringLiteral("screen-%1.png").arg(screen, 3, 10, QLatin1Char('0'))));
}

} // namespace faults

#pragma once

#include "netkeel/module/link_target.h"
#include "netkeel/module/module_log.h"
#include "netkeel/module/module_port.h"

#include <QByteArrayList>
#include <QHash>
#include <QList>
#include <QStringList>

// The log as one text, as the window's log box holds it.
class StringLog : public netkeel::ModuleLog
{
public:
    void append(const QString &text) override { text_ += text; }
    const QString &text() const { return text_; }

private:
    QString text_;
};

// The link the tests name: COM1 on the fake's device.
inline const netkeel::LinkTarget kCom1{QStringLiteral("COM1"), QStringLiteral("/dev/fake1")};

// A network module behind a fake serial port. Each command line written is
// answered from a script: the chunks of its answer arrive one per wait, and an
// empty chunk is a wait that runs out with nothing new. Commands without a
// script are answered as a module would: reads with "L" + code + value + CR LF,
// writes with the value written.
class FakeModulePort : public netkeel::ModulePort
{
public:
    // What the fake module holds, by two-letter code.
    QHash<QByteArray, QByteArray> values{
        {"rm", "0"}, {"ma", "001122334455"}, {"br", "3"}, {"ip", "192.168.1.100"},
        {"di", "192.168.1.20"}, {"pn", "1973"}, {"dp", "1973"}, {"gi", "192.168.1.1"},
        {"nm", "255.255.255.0"}};
    // Answers by three-letter command; an empty list is silence.
    QHash<QByteArray, QByteArrayList> script;

    QByteArrayList written;
    QStringList openedDevices;
    QList<int> waits;  // the msecs of every waitForData call
    QString openError; // non-empty: open() fails with it
    bool failNextWait = false;

    void answer(const QByteArray &command, QByteArrayList chunks) { script[command] = chunks; }
    void silence(const QByteArray &command) { script[command] = {}; }

    bool open(const QString &device) override
    {
        if (!openError.isEmpty())
            return false;
        openedDevices << device;
        m_open = true;
        return true;
    }
    bool isOpen() const override { return m_open; }
    void close() override
    {
        m_open = false;
        m_available.clear();
        m_pending.clear();
    }
    bool write(const QByteArray &bytes) override
    {
        written << bytes;
        const QByteArray command = bytes.left(3);
        if (script.contains(command))
            m_pending += script.value(command);
        else
            m_pending << moduleAnswer(bytes.chopped(2));
        return true;
    }
    qint64 bytesAvailable() const override { return m_available.size(); }
    netkeel::WaitResult waitForData(int msecs) override
    {
        waits << msecs;
        if (failNextWait) {
            failNextWait = false;
            return netkeel::WaitResult::Failed;
        }
        if (m_pending.isEmpty())
            return netkeel::WaitResult::TimedOut;
        const QByteArray chunk = m_pending.takeFirst();
        if (chunk.isEmpty())
            return netkeel::WaitResult::TimedOut;
        m_available += chunk;
        return netkeel::WaitResult::DataArrived;
    }
    QByteArray readAll() override { return std::exchange(m_available, {}); }
    QString errorString() const override
    {
        return openError.isEmpty() ? QStringLiteral("device gone") : openError;
    }

    QByteArrayList commands() const
    {
        QByteArrayList codes;
        for (const QByteArray &line : written)
            codes << line.left(3);
        return codes;
    }

private:
    QByteArray moduleAnswer(const QByteArray &line) const
    {
        const QByteArray code = line.mid(1, 2);
        if (line == "Wfs")
            return "LfsOK\r\n";
        if (line.startsWith('r'))
            return "L" + code + values.value(code) + "\r\n";
        return "L" + code + line.mid(3) + "\r\n";
    }

    bool m_open = false;
    QByteArray m_available;
    QByteArrayList m_pending;
};

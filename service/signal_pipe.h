#pragma once

#include <QObject>
#include <initializer_list>

class QSocketNotifier;

namespace pravikd {

// Turns POSIX signals into a Qt signal on the main thread. The handler only
// writes the signal's number into a pipe, which is all a handler may safely
// do; the event loop reads it and the service acts there.
class SignalPipe : public QObject
{
    Q_OBJECT
public:
    explicit SignalPipe(QObject *parent = nullptr);
    ~SignalPipe() override;

    // False when the pipe or a handler cannot be set up.
    bool install(std::initializer_list<int> signalNumbers);

signals:
    void arrived(int signalNumber);

private:
    static void handle(int signalNumber);
    void readPipe();

    QList<int> m_signals;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace pravikd

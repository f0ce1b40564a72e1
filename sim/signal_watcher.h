#pragma once

#include <QObject>

class QSocketNotifier;

namespace LedBoardSim {

// Turns SIGTERM and SIGINT into a Qt signal, so that the board can finish its
// log and pictures in the event loop rather than inside a signal handler.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool install();

signals:
    void stopRequested(int signalNumber);

private:
    static void handle(int signalNumber);
    void readPipe();

    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace LedBoardSim

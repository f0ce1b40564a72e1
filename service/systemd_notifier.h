#pragma once

#include <QObject>
#include <QTimer>

namespace pravikd {

// Tells systemd how the service is (Type=notify): ready, reloading, stopping,
// and alive, at half the watchdog's time while the event loop turns. Where
// systemd did not start the service, as in a terminal or a test without a
// socket of its own, every call does nothing.
class SystemdNotifier : public QObject
{
public:
    explicit SystemdNotifier(QObject *parent = nullptr);

    void ready(const QString &status);
    void reloading();
    void stopping();

private:
    static void notify(const QByteArray &state);

    QTimer m_watchdog;
};

} // namespace pravikd

#include "systemd_notifier.h"

#include <systemd/sd-daemon.h>

namespace pravikd {

SystemdNotifier::SystemdNotifier(QObject *parent) : QObject(parent)
{
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0 && usec > 0) {
        // Half the time leaves room for a busy moment of the event loop.
        m_watchdog.setInterval(int(std::max<uint64_t>(usec / 2000, 1)));
        connect(&m_watchdog, &QTimer::timeout, this, [] { notify("WATCHDOG=1"); });
        m_watchdog.start();
    }
}

void SystemdNotifier::ready(const QString &status)
{
    notify("READY=1\nSTATUS=" + status.toUtf8());
}

void SystemdNotifier::reloading()
{
    notify("RELOADING=1");
}

void SystemdNotifier::stopping()
{
    m_watchdog.stop();
    notify("STOPPING=1");
}

void SystemdNotifier::notify(const QByteArray &state)
{
    sd_notify(0, state.constData());
}

} // namespace pravikd

#include "desktop_metrics.h"

#include <QGuiApplication>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QScreen>
#include <cmath>

namespace pravik::app {

int stripWidthForDesktop(int desktopWidthPixels)
{
    int strip = 616;
    for (const int width : {776, 1000, 1128, 1256}) {
        if (desktopWidthPixels > width)
            strip = width;
    }
    return strip;
}

int desktopWidthPixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

int desktopHeightPixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

double twipsPerPixel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QString localIpv4Address()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
        }
    }
    return QHostAddress(QHostAddress::LocalHost).toString();
}

int twipsToPixels(int twips, double dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / 1440.0));
}

} // namespace pravik::app

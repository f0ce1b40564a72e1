#include "splash_window.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace pravik::app {
namespace {

// The program's name as a small LED board would show it: the text is drawn
// without smoothing into a few rows of LEDs, and every lit LED becomes a dot.
QPixmap ledPicture(const QString &text)
{
    QFont font(QStringLiteral("WenQuanYi Zen Hei Sharp"));
    font.setPixelSize(14);
    font.setStyleStrategy(QFont::NoAntialias);
    // At this size some glyphs touch ("vi" runs together); two pixels more per
    // letter leave an unlit LED column between any two of them.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    QImage leds(72, 16, QImage::Format_RGB32);
    leds.fill(Qt::black);
    {
        QPainter painter(&leds);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(leds.rect(), Qt::AlignCenter, text);
    }
    constexpr int pitch = 6;
    QPixmap picture(leds.width() * pitch, leds.height() * pitch);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int y = 0; y < leds.height(); ++y) {
        for (int x = 0; x < leds.width(); ++x) {
            const bool lit = qGray(leds.pixel(x, y)) > 127;
            painter.setBrush(lit ? QColor(255, 40, 30) : QColor(40, 10, 10));
            painter.drawEllipse(x * pitch + 1, y * pitch + 1, pitch - 2, pitch - 2);
        }
    }
    return picture;
}

} // namespace

SplashWindow::SplashWindow(const QString &buildId, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setStyleSheet(QStringLiteral("background: black; color: #ffd040;"));
    auto *layout = new QVBoxLayout(this);
    auto *picture = new QLabel(this);
    picture->setPixmap(ledPicture(QStringLiteral("Pravik")));
    layout->addWidget(picture);
    m_label1 = new QLabel(buildId, this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignRight);
    layout->addWidget(m_label1);
    setFocusPolicy(Qt::StrongFocus);

    // In the middle of the desktop, clear of its panels, like the main window
    // during a transfer.
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::keyPressEvent(QKeyEvent *)
{
    close();
}

} // namespace pravik::app

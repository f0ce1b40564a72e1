#pragma once

#include <QImage>
#include <QWidget>

namespace slatepad {

// The board enlarged: one square per LED, lit in its colour or dark, on
// black, as large as the widget allows; at 1 to 3 pixels per LED the squares
// touch.
class LedPreview : public QWidget
{
    Q_OBJECT
public:
    explicit LedPreview(QWidget *parent = nullptr);

    void setLeds(const QImage &leds);
    const QImage &leds() const { return m_leds; }

    // The distance between two LEDs' centres on screen, in pixels.
    int pitch() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_leds;
};

} // namespace slatepad

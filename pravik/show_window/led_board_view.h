#pragma once

#include "led_dots.h"

#include <QWidget>

namespace pravik::show_window {

// The board drawn as LEDs on its dark panel, as large as the widget allows
// and never smaller than kMinimumPitch pixels an LED.
class LedBoardView : public QWidget
{
    Q_OBJECT
public:
    explicit LedBoardView(QWidget *parent = nullptr);

    // Shows `frame`; only the LED rows that changed are drawn again.
    void setFrame(const show::LedImage &frame);
    const show::LedImage &frame() const { return m_leds; }
    int pitch() const { return m_dots.pitch(); }
    // Where the top-left corner of LED (x, y) is drawn.
    QPoint ledOrigin(int x, int y) const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int fittingPitch() const;
    void redrawAll();
    QPoint boardOrigin() const;

    show::LedImage m_leds;
    LedDots m_dots;
    QImage m_board;
};

} // namespace pravik::show_window

#pragma once

#include <QWidget>

class QLabel;

namespace pravik::app {

// The splash window "frmSplash": a picture of the program's name in LEDs and
// the build identification in Label1. A key press closes it early.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(const QString &buildId, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_label1;
};

} // namespace pravik::app

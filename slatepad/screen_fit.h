#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace slatepad {

// Where a window opens on a screen whose free area (without panels and task
// bars) is `available`: at the size it wants where that fits, smaller where
// it does not, its frame included, and centred. The result is the window's
// inner geometry, as QWidget::setGeometry takes it.
QRect fitOnScreen(QSize wanted, const QRect &available, const QMargins &frame);

} // namespace slatepad

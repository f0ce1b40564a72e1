#pragma once

class QApplication;

namespace pravik::app {

// Shows the splash window for two seconds, then the main window, and runs the
// program until the main window closes.
int runStartRoutine(QApplication &application);

} // namespace pravik::app

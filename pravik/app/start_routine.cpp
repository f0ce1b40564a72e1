#include "start_routine.h"

#include "app_state.h"
#include "desktop_metrics.h"
#include "file_commands.h"
#include "main_window.h"
#include "splash_window.h"

#include "pravik/document/program_texts.h"

#include "common/message_box_prompter.h"
#include "common/qt_file_chooser.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace pravik::app {

int runStartRoutine(QApplication &application)
{
    QPointer<SplashWindow> splash = new SplashWindow(kBuildId);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();

    AppState state; // the BoardSettings start with their defaults

    // The splash stays two seconds while the desktop goes on working.
    QEventLoop wait;
    QTimer::singleShot(2000, &wait, &QEventLoop::quit);
    wait.exec();

    common::MessageBoxPrompter prompter;
    common::QtFileChooser chooser;
    MainWindowEnvironment environment;
    environment.desktopWidthPixels = desktopWidthPixels();
    environment.desktopHeightPixels = desktopHeightPixels();
    environment.twipsPerPixel = twipsPerPixel();
    environment.localIpAddress = localIpv4Address();
    environment.programFolder = QCoreApplication::applicationDirPath();
    environment.documentFolder = userDocumentFolder();
    environment.prompter = &prompter;
    environment.fileChooser = &chooser;
    MainWindow window(state, environment);
    prompter.setParent(&window);
    chooser.setParent(&window);
    window.show();

    if (splash)
        splash->close();
    return application.exec();
}

} // namespace pravik::app

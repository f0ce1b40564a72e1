// Netkeel: sets up the network module that connects a sign board to the
// network, over the module's serial port.

#include "local_address.h"
#include "setup_window.h"

#include "netkeel/module/serial_module_port.h"

#include "common/message_box_prompter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Netkeel"));

    common::MessageBoxPrompter prompter;
    netkeel::SerialModulePort port;
    netkeel::SetupWindowEnvironment environment;
    environment.localIpAddress = netkeel::localIpv4Address();
    environment.prompter = &prompter;
    environment.port = &port;
    netkeel::SetupWindow window(environment);
    prompter.setParent(&window);
    window.show();
    // Closing the window ends the program.
    return application.exec();
}

// Netkeel: sets up the network module that connects a sign board to the
// network, over the module's serial port.

#include "local_address.h"
#include "setup_window.h"

#include "netkeel/module/serial_module_port.h"

#include "common/message_box_prompter.h"

#include "program_version.h"

#include <QApplication>

namespace {

const char *const kHelp =
    "Usage: netkeel [QT-OPTION]...\n"
    "\n"
    "Netkeel reads and writes the settings of the network module that connects\n"
    "an LED sign board to the network: module IP address, net mask, gateway,\n"
    "reply IP address, MAC address, module and destination port, serial baud\n"
    "rate and multi-channel mode, over the module's serial port (COM1 ... COM16).\n"
    "Everything happens in its window; netkeel-cli does the same from a script.\n"
    "\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "The toolkit's own options (-platform NAME, -style NAME, ...) are accepted.\n";

} // namespace

int main(int argc, char *argv[])
{
    if (program_version::answeredVersion(argc, argv, "netkeel") ||
        program_version::answeredHelp(argc, argv, kHelp))
        return 0;
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

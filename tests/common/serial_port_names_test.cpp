#include "common/serial_port_names.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace common;

namespace {

// Sets an environment variable for the length of one test.
class ScopedVariable
{
public:
    ScopedVariable(const char *name, const QByteArray &value) : m_name(name)
    {
        qputenv(name, value);
    }
    ~ScopedVariable() { qunsetenv(m_name); }

private:
    const char *m_name;
};

} // namespace

TEST(SerialPortNames, EnvironmentVariableWinsOverTheDefault)
{
    ScopedVariable com3("COM3", "/dev/pts/7");
    EXPECT_EQ(serialDeviceForPort(3), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(comNumberForDevice(QStringLiteral("/dev/pts/7")), 3);
}

TEST(SerialPortNames, DefaultPrefersAnAdapterOverTheBuiltInPort)
{
    for (int n : {1, 5, 16}) {
        const QString usb = QStringLiteral("/dev/ttyUSB%1").arg(n - 1);
        const QString builtIn = QStringLiteral("/dev/ttyS%1").arg(n - 1);
        EXPECT_EQ(serialDeviceForPort(n), QFileInfo::exists(usb) ? usb : builtIn);
        EXPECT_EQ(comNumberForDevice(serialDeviceForPort(n)), n);
    }
}

TEST(SerialPortNames, OnlySixteenPorts)
{
    EXPECT_TRUE(serialDeviceForPort(0).isEmpty());
    EXPECT_TRUE(serialDeviceForPort(17).isEmpty());
    EXPECT_EQ(comNumberForDevice(QStringLiteral("/dev/ttyS16")), 0);
    EXPECT_EQ(comNumberForDevice(QStringLiteral("/dev/null")), 0);
    EXPECT_EQ(comPortName(12), QStringLiteral("COM12"));
}

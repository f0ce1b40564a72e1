#include "common/serial_port_names.h"

#include <gtest/gtest.h>

using namespace common;

TEST(SerialPortNames, EnvironmentVariableWinsOverTheDefault)
{
    qputenv("COM3", "/dev/pts/7");
    EXPECT_EQ(serialDeviceForPort(3), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(comNumberForDevice(QStringLiteral("/dev/pts/7")), 3);
    qunsetenv("COM3");
}

TEST(SerialPortNames, DefaultIsTheAdapterOrTheBuiltInPortOfCom1ToCom16)
{
    const QStringList either{QStringLiteral("/dev/ttyUSB4"), QStringLiteral("/dev/ttyS4")};
    EXPECT_TRUE(either.contains(serialDeviceForPort(5))) << serialDeviceForPort(5).toStdString();
    EXPECT_EQ(comNumberForDevice(serialDeviceForPort(5)), 5);
    EXPECT_EQ(comNumberForDevice(serialDeviceForPort(16)), 16);
    EXPECT_TRUE(serialDeviceForPort(0).isEmpty());
    EXPECT_TRUE(serialDeviceForPort(17).isEmpty());
    EXPECT_EQ(comNumberForDevice(QStringLiteral("/dev/ttyS16")), 0);
    EXPECT_EQ(comNumberForDevice(QStringLiteral("/dev/null")), 0);
    EXPECT_EQ(comPortName(12), QStringLiteral("COM12"));
}

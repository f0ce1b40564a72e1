#include <QCoreApplication>

#include <gtest/gtest.h>

// Sockets and processes want an application object; none of these tests needs
// a display.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <QCoreApplication>

#include <gtest/gtest.h>

// Serial ports and processes want an application object; no display needed.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

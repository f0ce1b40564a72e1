#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Test discovery runs this binary without the test environment.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

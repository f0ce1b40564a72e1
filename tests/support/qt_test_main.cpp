// The main() of every test binary that needs a Qt application object, of the
// kind the binary names in pravik_test(... APP Core|Gui|Widgets). Test
// discovery runs each binary without the test's environment, so those that
// lay out text or widgets choose the offscreen platform here.
#if defined(PRAVIK_TEST_APP_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(PRAVIK_TEST_APP_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
#if defined(PRAVIK_TEST_APP_WIDGETS) || defined(PRAVIK_TEST_APP_GUI)
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

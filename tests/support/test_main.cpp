// Shared main for every test program: a Qt application object exists for the
// whole run (offscreen platform), then GoogleTest runs.
#include <gtest/gtest.h>

#ifdef GD_TEST_UI
#include <QApplication>
using TestApp = QApplication;
#else
#include <QGuiApplication>
using TestApp = QGuiApplication;
#endif

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

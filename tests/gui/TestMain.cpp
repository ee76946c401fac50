// The GUI tests run real widgets: one QApplication for the whole program, on the offscreen
// platform unless the environment chose another (test discovery runs the program without the
// tests' environment), and the program's views registered as the program registers them.

#include <gtest/gtest.h>

#include <QApplication>

#include "shell/ViewRegistration.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rv::RegisterViews();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

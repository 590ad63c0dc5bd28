// Runs GoogleTest inside a QApplication on Qt's offscreen platform, so that widget tests need no
// display and the event loop is there for the code under test.
#include "app/storyboard.h"

#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    vantrel::storyboard::releaseSharedControllers();
    return status;
}

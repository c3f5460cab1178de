// The main of the window tests: a QApplication on the offscreen platform (unless
// the caller chose another), in a temporary home.
#include "temphome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Before Qt looks at any folder: the tests never see the real home.
    TempHome::installForProcess();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

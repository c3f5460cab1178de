// The main of every test executable: a Qt application object exists for the whole
// run (timers, event loops, network), and every test runs in a temporary home.
#include "temphome.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Before Qt looks at any folder: the tests never see the real home.
    TempHome::installForProcess();
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

// The main of the window tests: a QApplication on the offscreen platform (unless
// the caller chose another), in a temporary home.
#include "temphome.h"

#include <QApplication>
#include <gtest/gtest.h>

// Leaks inside the libraries the windows use, which no caller can release: the
// sound server client, the gesture recogniser the PDF view registers, and the
// loader the PDF library keeps for a file it could not open. Read only by
// LeakSanitizer builds.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libpulse.so\n"
           "leak:QScroller::grabGesture\n"
           "leak:QPdfDocumentPrivate::initiateAsyncLoadWithTotalSizeKnown\n";
}

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

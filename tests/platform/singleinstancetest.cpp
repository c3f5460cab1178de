#include "platform/singleinstance.h"

#include "camerapicturebuilder.h"
#include "temphome.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SingleInstance, OnlyTheFirstHolderWinsUntilItLetsGoOrDies)
{
    TempHome home;
    auto first = std::make_unique<SingleInstance>(u"test.app"_s);
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire());

    // Another process (here: another lock object on the same file) is refused.
    SingleInstance second(u"test.app"_s);
    EXPECT_FALSE(second.tryAcquire());
    first.reset();
    EXPECT_TRUE(second.tryAcquire());

    // A lock file whose process id no longer runs, as a crash leaves it, is taken over.
    SingleInstance afterCrash(u"crashed.app"_s);
    ASSERT_TRUE(CameraPictureBuilder::writeFile(
        afterCrash.lockFilePath(), "999999\n" + QCoreApplication::applicationName().toUtf8() +
                                       "\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    EXPECT_TRUE(afterCrash.tryAcquire());
}

#include "platform/singleinstance.h"

#include "temphome.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>
#include <gtest/gtest.h>

class SingleInstanceTest : public testing::Test
{
protected:
    TempHome home;
};

TEST_F(SingleInstanceTest, OnlyTheFirstHolderWinsUntilItLetsGo)
{
    auto first = std::make_unique<SingleInstance>(QStringLiteral("test.app"));
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire());

    // Another process (here: another lock object on the same file) is refused.
    SingleInstance second(QStringLiteral("test.app"));
    EXPECT_FALSE(second.tryAcquire());

    first.reset();
    EXPECT_TRUE(second.tryAcquire());
}

TEST_F(SingleInstanceTest, ALockLeftByADeadProcessIsTakenOver)
{
    SingleInstance instance(QStringLiteral("test.app"));
    // A lock file whose process id no longer runs, as a crash leaves it.
    QFile stale(instance.lockFilePath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray("999999\n") + QCoreApplication::applicationName().toUtf8() + "\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    EXPECT_TRUE(instance.tryAcquire());
}

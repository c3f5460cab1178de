#include "common/notificationcenter.h"

#include <gtest/gtest.h>
#include <memory>

TEST(NotificationCenter, DeliversByNameUntilTheOwnerGoes)
{
    NotificationCenter center;
    auto owner = std::make_unique<QObject>();
    int progress = 0;
    int closes = 0;
    center.addObserver(QStringLiteral("progress"), owner.get(),
                       [&](const QVariantMap& info) { progress += info.value("n").toInt(); });
    center.addObserver(QStringLiteral("close"), owner.get(), [&](const QVariantMap&) { ++closes; });

    center.post(QStringLiteral("progress"), {{QStringLiteral("n"), 3}});
    center.post(QStringLiteral("other"));
    EXPECT_EQ(progress, 3);
    EXPECT_EQ(closes, 0);

    owner.reset();
    center.post(QStringLiteral("progress"), {{QStringLiteral("n"), 3}});
    center.post(QStringLiteral("close"));
    EXPECT_EQ(progress, 3);
    EXPECT_EQ(closes, 0);
}

TEST(NotificationCenter, AHandlerMayRemoveItselfWhileBeingCalled)
{
    NotificationCenter center;
    QObject owner;
    int calls = 0;
    center.addObserver(QStringLiteral("once"), &owner, [&](const QVariantMap&) {
        ++calls;
        center.removeObserver(&owner);
    });
    center.post(QStringLiteral("once"));
    center.post(QStringLiteral("once"));
    EXPECT_EQ(calls, 1);
}

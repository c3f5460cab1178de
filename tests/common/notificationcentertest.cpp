#include "common/notificationcenter.h"

#include <gtest/gtest.h>
#include <memory>

TEST(NotificationCenter, DeliversByNameUntilTheOwnerGoesOrTheHandlerRemovesItself)
{
    NotificationCenter center;
    auto owner = std::make_unique<QObject>();
    QObject onceOwner;
    int progress = 0, closes = 0, onces = 0;
    center.addObserver(QStringLiteral("progress"), owner.get(),
                       [&](const QVariantMap& info) { progress += info.value("n").toInt(); });
    center.addObserver(QStringLiteral("close"), owner.get(), [&](const QVariantMap&) { ++closes; });
    center.addObserver(QStringLiteral("once"), &onceOwner, [&](const QVariantMap&) {
        ++onces;
        center.removeObserver(&onceOwner);
    });

    center.post(QStringLiteral("progress"), {{QStringLiteral("n"), 3}});
    center.post(QStringLiteral("other"));
    center.post(QStringLiteral("once"));
    center.post(QStringLiteral("once"));
    EXPECT_EQ(std::tie(progress, closes, onces), std::make_tuple(3, 0, 1));

    owner.reset();
    center.post(QStringLiteral("progress"), {{QStringLiteral("n"), 3}});
    center.post(QStringLiteral("close"));
    EXPECT_EQ(std::tie(progress, closes), std::make_tuple(3, 0));
}

#include "app/SingleInstance.h"

#include <QFile>

#include <gtest/gtest.h>

using lumora::SingleInstance;

namespace {

// The name is decided by the lock, not by the socket: a second listen would otherwise
// replace the first instance's socket and both would run.
TEST(SingleInstance, OnlyTheFirstListenWinsAndAStaleSocketIsTakenOver)
{
    SingleInstance first;
    ASSERT_TRUE(first.listen());
    SingleInstance second;
    EXPECT_FALSE(second.listen());
    EXPECT_TRUE(SingleInstance::sendToRunning(QStringLiteral("ping")));
}

TEST(SingleInstance, ASocketLeftByAGoneInstanceIsTakenOver)
{
    {
        QFile stale(SingleInstance::serverName());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance instance;
    EXPECT_TRUE(instance.listen());
    EXPECT_TRUE(SingleInstance::sendToRunning(QStringLiteral("ping")));
}

} // namespace

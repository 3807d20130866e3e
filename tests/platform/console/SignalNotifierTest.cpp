// SPDX-License-Identifier: MIT
#include "platform/console/SignalNotifier.h"
#include "tests/support/Budget.h"

#include <QCoreApplication>
#include <QList>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

using namespace std::chrono_literals;

namespace {

TEST(SignalNotifier, SignalsArriveInOrderThroughTheEventLoop)
{
    SignalNotifier notifier;
    QList<int> received;
    QObject::connect(&notifier, &SignalNotifier::interrupted, &notifier,
                     [&received](int signalNumber) { received.append(signalNumber); });
    std::raise(SIGTERM);
    std::raise(SIGINT);
    ASSERT_TRUE(runWithinBudget([&received] { return received.size() == 2; }, 5s));
    EXPECT_EQ(received, (QList<int>{SIGTERM, SIGINT}));
}

TEST(SignalNotifier, BurstLargerThanThePipeNeitherBlocksNorChangesErrno)
{
    SignalNotifier notifier;
    int received = 0;
    QObject::connect(&notifier, &SignalNotifier::interrupted, &notifier, [&received](int) { ++received; });
    // The event loop reads nothing meanwhile, so the pipe fills long before the loop ends.
    for (int i = 0; i < 100000; ++i)
        std::raise(SIGINT);
    errno = EDOM;
    std::raise(SIGINT);
    EXPECT_EQ(errno, EDOM);
    EXPECT_TRUE(runWithinBudget([&received] { return received > 0; }, 5s));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

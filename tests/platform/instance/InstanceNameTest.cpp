// SPDX-License-Identifier: MIT
#include "platform/instance/InstanceName.h"
#include "tests/support/Budget.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// The later start blocks in its call while the window answers from the event loop, as two
// processes do; here the start is a thread.
InstanceName::HandOver handOverFromAnotherStart(const QStringList &links)
{
    InstanceName::HandOver result;
    std::atomic<bool> done{false};
    std::thread start([&] {
        InstanceName later;
        result = later.handOver(links);
        done = true;
    });
    const bool answered = runWithinBudget([&] { return done.load(); }, 30s);
    start.join();
    EXPECT_TRUE(answered);
    return result;
}

} // namespace

TEST(InstanceNameTest, TheFirstStartTakesTheLinksOfTheNextAndAnswersHowManyItAdded)
{
    InstanceName first;
    ASSERT_TRUE(first.isConnected()) << "run under dbus-run-session";
    QList<QStringList> received;
    ASSERT_TRUE(first.claim([&](const QStringList &links) {
        received << links;
        return int(links.size()) - 1;
    }));
    {
        InstanceName second;
        EXPECT_FALSE(second.claim([](const QStringList &) { return 0; }));
    }
    const InstanceName::HandOver handOver = handOverFromAnotherStart({u"https://a.example/x"_s, u"/tmp/list.txt"_s});
    EXPECT_TRUE(handOver.delivered) << handOver.error.toStdString();
    EXPECT_EQ(handOver.added, 1);
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received.constFirst(), QStringList({u"https://a.example/x"_s, u"/tmp/list.txt"_s}));
}

TEST(InstanceNameTest, WithNoOneHoldingTheNameOrNoBusTheHandOverFails)
{
    // Once the first window is gone, its name is free again.
    {
        InstanceName gone;
        ASSERT_TRUE(gone.claim([](const QStringList &) { return 0; }));
    }
    const InstanceName::HandOver nobody = handOverFromAnotherStart({u"https://a.example/x"_s});
    EXPECT_FALSE(nobody.delivered);
    EXPECT_FALSE(nobody.error.isEmpty());

    InstanceName noBus(u"unix:path=/nonexistent/quorvel-bus"_s);
    EXPECT_FALSE(noBus.isConnected());
    EXPECT_FALSE(noBus.busError().isEmpty());
    EXPECT_FALSE(noBus.claim([](const QStringList &) { return 0; }));
    const InstanceName::HandOver handOver = noBus.handOver({u"https://a.example/x"_s});
    EXPECT_FALSE(handOver.delivered);
    EXPECT_FALSE(handOver.error.isEmpty());
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// SPDX-License-Identifier: MIT
#include "transfer/UiThreadHandoff.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <vector>

TEST(UiThreadHandoff, RunsAtOnceWhenAlreadyOnTheContextsThread)
{
    QObject context;
    auto handoff = std::make_shared<UiThreadHandoff>(&context);
    bool ran = false;
    EXPECT_TRUE(handoff->run([&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST(UiThreadHandoff, DetachReleasesAWaitingWorkerAndDropsItsCall)
{
    auto context = std::make_unique<QObject>();
    auto handoff = std::make_shared<UiThreadHandoff>(context.get());
    bool ran = false;
    auto worker = std::async(std::launch::async, [&] { return handoff->run([&] { ran = true; }); });
    // The worker has posted its call by now and waits for an event loop that does not run.
    EXPECT_EQ(worker.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);

    handoff->detach();
    EXPECT_FALSE(worker.get());
    context.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(handoff->run([&] { ran = true; }));
}

TEST(UiThreadHandoff, PostedCallsRunInTheirOrderAmongBlockingOnesUnlessDetachedFirst)
{
    QObject context;
    auto handoff = std::make_shared<UiThreadHandoff>(&context);
    std::vector<int> order;
    auto worker = std::async(std::launch::async, [&] {
        handoff->post([&] { order.push_back(1); });
        handoff->run([&] { order.push_back(2); });
        handoff->post([&] { order.push_back(3); });
    });
    while (worker.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    handoff->detach();
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<int>{1, 2})) << "a call posted before the detach ran after it";
}

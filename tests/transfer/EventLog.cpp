// SPDX-License-Identifier: MIT
#include "tests/transfer/EventLog.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

void EventLog::expectWellFormed(const QObject *component) const
{
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front().kind, Event::Start);
    EXPECT_EQ(events.back().kind, Event::Finish);
    for (std::size_t i = 1; i + 1 < events.size(); ++i)
        EXPECT_EQ(events[i].kind, Event::Progress) << "event " << i;
    for (const auto &event : events) {
        EXPECT_EQ(event.thread, QCoreApplication::instance()->thread());
        EXPECT_EQ(event.sender, events.front().sender) << "events of one transfer from several senders";
        EXPECT_NE(event.sender, component) << "the Sender of transfer events is the worker";
        EXPECT_NE(event.sender, nullptr);
    }
}

// SPDX-License-Identifier: MIT
#include "queue/DownloadHistory.h"

#include <gtest/gtest.h>

namespace {

// Every record holds a part named after it, so that what is forgotten shows by its parts.
DownloadEntry ended(DownloadEntry::Id id)
{
    DownloadEntry entry;
    entry.id = id;
    entry.url = QStringLiteral("http://h/%1").arg(id);
    entry.state = DownloadEntry::State::Removed;
    entry.part = PartialFile{QString::number(id), QStringLiteral("p"), "v", 1};
    return entry;
}

} // namespace

TEST(DownloadHistoryTest, TheOldestRecordsBeyondTheLimitAreForgottenAndSaidToBe)
{
    // One at a time up to the limit, then a burst that passes it, then one more at the limit.
    DownloadHistory history;
    QList<DownloadEntry::Id> forgotten;
    int resets = 0;
    QObject::connect(&history, &DownloadHistory::partsForgotten, &history, [&](const QList<PartialFile> &parts) {
        for (const PartialFile &part : parts)
            forgotten.append(part.target.toULongLong());
    });
    QObject::connect(&history, &DownloadHistory::recordsReset, &history, [&] { ++resets; });
    QList<DownloadEntry> burst;
    for (DownloadEntry::Id id = 1; id <= DownloadEntry::Id(DownloadHistory::maxRecords); ++id)
        burst.append(ended(id));
    history.recordAll(burst);
    EXPECT_TRUE(forgotten.isEmpty());
    EXPECT_EQ(resets, 0);

    history.recordAll({ended(20'001), ended(20'002), ended(20'003)});
    EXPECT_EQ(forgotten, (QList<DownloadEntry::Id>{1, 2, 3})) << "the oldest go";
    EXPECT_EQ(history.count(), DownloadHistory::maxRecords);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(history.at(0).id, 4u);
    EXPECT_EQ(history.indexOf(20'003), DownloadHistory::maxRecords - 1) << "the index follows the records";
    EXPECT_EQ(history.indexOf(2), -1);
    ASSERT_TRUE(history.take(5).has_value());
    EXPECT_EQ(history.indexOf(6), 1);

    history.record(ended(20'004));
    EXPECT_EQ(history.count(), DownloadHistory::maxRecords) << "one below the limit after the take";
    EXPECT_EQ(forgotten.size(), 3);

    // A burst longer than the limit keeps its own last entries only.
    burst.clear();
    for (DownloadEntry::Id id = 30'001; id <= 30'000 + DownloadEntry::Id(DownloadHistory::maxRecords) + 2; ++id)
        burst.append(ended(id));
    forgotten.clear();
    history.recordAll(burst);
    EXPECT_EQ(history.at(0).id, 30'003u);
    EXPECT_EQ(history.count(), DownloadHistory::maxRecords);
    EXPECT_EQ(forgotten.size(), DownloadHistory::maxRecords + 2) << "the burst's first two and every older record";
}

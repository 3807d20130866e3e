// SPDX-License-Identifier: MIT
#include "tests/flow/FlowFixture.h"

#include <algorithm>
#include <functional>
#include <ostream>
#include <vector>

namespace {

const QString A = QStringLiteral("http://host/a");
const QString B = QStringLiteral("http://host/b");
const QString missingPage = QStringLiteral("<p>The file could not be found. Please check the download link.</p>");

using State = DownloadEntry::State;

enum class Ending { Done, Refused, Cut, Missing, Stopped };

struct Row
{
    const char *name;
    QStringList queued;
    /** Before the start the user moves entry walked to the top, so that the walk opens it. */
    int walked;
    /** While the entry's page is walked, the user puts entry movedUp on top (-1: nothing). */
    int movedUp;
    Ending ending;
    QStringList queuedAfter;
    /** What became of the walked entry, and where it is now (-1: it left the queue). */
    State state;
    int indexAfter;
    /** Whether it is announced as ended (and finished then), and its last failure. */
    bool ended;
    QString failure;
};

// Names the row in a failure instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.name;
}

class EntryLifecycle : public FlowFixture, public ::testing::WithParamInterface<Row>
{
};

} // namespace

TEST_P(EntryLifecycle, TheWalkedEntryFoundByItsIdIsActiveThenDoneFailedOrDropped)
{
    const Row &row = GetParam();
    std::vector<DownloadEntry> ended;
    QObject::connect(&flow, &PageFlow::entryEnded, &flow, [&](const DownloadEntry &entry) { ended.push_back(entry); });
    queue.appendAll(row.queued);
    queue.move(row.walked, 0);
    QList<DownloadQueue::EntryId> others;
    for (int i = 1; i < queue.count(); ++i)
        others << queue.idAt(i);
    const DownloadQueue::EntryId walked = queue.idAt(0);
    queue.showHead();
    flow.StartDownload1Click();
    EXPECT_EQ(queue.entry(0).state, State::Active);
    if (row.movedUp >= 0) {
        queue.setSelected(row.movedUp);
        queue.moveFirst();
    }
    switch (row.ending) {
    case Ending::Done:
        runTransfer(TransferOutcome::done());
        break;
    case Ending::Refused:
        runTransfer(TransferOutcome::failed(FailureCause::permanent(QStringLiteral("HTTP 404"))));
        break;
    case Ending::Cut:
        runTransfer(TransferOutcome::failed(FailureCause::transient(QStringLiteral("连接中断"))));
        break;
    case Ending::Missing:
        loadPage(missingPage);
        break;
    case Ending::Stopped:
        runTransfer(TransferOutcome::cancelled());
        break;
    }

    EXPECT_EQ(queue.entries(), row.queuedAfter);
    EXPECT_EQ(queue.indexOf(walked), row.indexAfter);
    for (const DownloadQueue::EntryId id : others)
        EXPECT_GE(queue.indexOf(id), 0) << "another entry left the queue";
    const auto announced = std::find_if(ended.begin(), ended.end(), [&](const auto &e) { return e.id == walked; });
    ASSERT_EQ(announced != ended.end(), row.ended);
    const DownloadEntry entry = row.indexAfter >= 0 ? queue.entry(row.indexAfter) : *announced;
    EXPECT_EQ(entry.state, row.state);
    EXPECT_EQ(entry.url, row.queued.at(row.walked));
    EXPECT_EQ(entry.lastFailure ? entry.lastFailure->reason : QString(), row.failure);
    EXPECT_EQ(entry.finished.isValid(), row.ended);
    if (row.state == State::Done) {
        EXPECT_EQ(entry.fileName, QStringLiteral("/tmp/never-written/a.bin"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, EntryLifecycle,
    ::testing::Values(
        Row{"done", {A, B}, 0, -1, Ending::Done, {B}, State::Done, -1, true, {}},
        Row{"failedForGood",
            {A, B},
            0,
            -1,
            Ending::Refused,
            {B, A},
            State::Failed,
            1,
            true,
            QStringLiteral("HTTP 404")},
        Row{"failedMayPass", {A, B}, 0, -1, Ending::Cut, {A, B}, State::Waiting, 0, false, QStringLiteral("连接中断")},
        Row{"dropped", {A, B}, 0, -1, Ending::Missing, {B}, State::Dropped, -1, true, {}},
        Row{"stopped", {A, B}, 0, -1, Ending::Stopped, {B}, State::Removed, -1, true, {}},
        // The second copy is walked while the user puts the first on top: the first stays.
        Row{"secondCopyOfAUrl", {A, B, A}, 2, 1, Ending::Done, {A, B}, State::Done, -1, true, {}}),
    [](const ::testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

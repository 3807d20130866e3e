// SPDX-License-Identifier: MIT
#include "common/QuorvelError.h"
#include "queue/DownloadQueue.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include <functional>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString errorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const QuorvelError &e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

const QString url1 = QStringLiteral("URL1");
const QString url2 = QStringLiteral("URL2");
const QString url3 = QStringLiteral("URL3");

} // namespace

TEST(DownloadQueue, WorkedExampleMovesAndGreysTheButtons)
{
    DownloadQueue queue;
    queue.replaceAll({url1, url2, url3});
    queue.setSelected(2);

    queue.moveUp();
    EXPECT_EQ(queue.entries(), QStringList({url1, url3, url2}));
    EXPECT_EQ(queue.selected(), 1);
    EXPECT_TRUE(queue.downEnabled());
    EXPECT_TRUE(queue.upEnabled());

    queue.moveUp();
    EXPECT_EQ(queue.entries(), QStringList({url3, url1, url2}));
    EXPECT_EQ(queue.selected(), 0);
    EXPECT_EQ(queue.currentUrl(), url3);
    EXPECT_FALSE(queue.upEnabled());

    queue.moveDown();
    EXPECT_EQ(queue.entries(), QStringList({url1, url3, url2}));
    EXPECT_EQ(queue.selected(), 1);
    EXPECT_TRUE(queue.upEnabled());
    EXPECT_EQ(queue.currentUrl(), url1);
}

TEST(DownloadQueue, DownGreysAtTheBottomAndOnlyMoveUpRestoresIt)
{
    DownloadQueue queue;
    queue.replaceAll({url1, url2, url3});
    queue.setSelected(1);
    queue.moveDown();
    EXPECT_EQ(queue.selected(), 2);
    EXPECT_FALSE(queue.downEnabled());

    queue.setSelected(0);
    queue.moveFirst();
    queue.moveLast();
    queue.append(url1);
    queue.deleteSelected();
    queue.clear();
    queue.replaceAll({url1, url2});
    EXPECT_FALSE(queue.downEnabled());

    queue.setSelected(1);
    queue.moveUp();
    EXPECT_TRUE(queue.downEnabled());
}

TEST(DownloadQueue, MoveDownOfTheLastEntryKeepsEveryEntry)
{
    DownloadQueue queue;
    queue.replaceAll({url1, url2, url3});
    queue.setSelected(2);
    queue.moveDown();
    EXPECT_EQ(queue.entries(), QStringList({url1, url2, url3}));
    EXPECT_EQ(queue.selected(), 2);
    EXPECT_FALSE(queue.downEnabled());
    EXPECT_TRUE(queue.upEnabled());
}

TEST(DownloadQueue, MoveUpOfTheTopEntrySendsItToTheEnd)
{
    DownloadQueue queue;
    queue.replaceAll({url1, url2, url3});
    queue.setSelected(0);
    queue.moveUp();
    EXPECT_EQ(queue.entries(), QStringList({url2, url3, url1}));
    EXPECT_EQ(queue.selected(), -1);
    EXPECT_EQ(queue.currentUrl(), url2);
    EXPECT_TRUE(queue.upEnabled());
    EXPECT_TRUE(queue.downEnabled());
}

TEST(DownloadQueue, FirstAndLastKeepTheOthersInOrder)
{
    const QStringList five = {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
    DownloadQueue queue;
    queue.replaceAll(five);
    queue.setSelected(3);
    queue.moveFirst();
    EXPECT_EQ(queue.entries(), QStringList({u"d"_s, u"a"_s, u"b"_s, u"c"_s, u"e"_s}));
    EXPECT_EQ(queue.selected(), 0);
    EXPECT_EQ(queue.currentUrl(), u"d"_s);

    queue.setSelected(1);
    queue.moveLast();
    EXPECT_EQ(queue.entries(), QStringList({u"d"_s, u"b"_s, u"c"_s, u"e"_s, u"a"_s}));
    EXPECT_EQ(queue.selected(), 4);

    int announced = 0;
    QObject::connect(&queue, &DownloadQueue::selectionChanged, &queue, [&] { ++announced; });
    queue.setCurrentUrl(u"typed"_s);
    queue.moveLast();
    EXPECT_EQ(queue.selected(), 4);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(queue.currentUrl(), u"d"_s);
}

TEST(DownloadQueue, MovesWithoutSelectionReportMinusOneAndChangeNothing)
{
    DownloadQueue queue;
    queue.replaceAll({url1, url2});
    queue.setCurrentUrl(u"typed"_s);
    const std::vector<void (DownloadQueue::*)()> moves = {
        &DownloadQueue::moveUp, &DownloadQueue::moveDown, &DownloadQueue::moveFirst,
        &DownloadQueue::moveLast};
    for (const auto move : moves) {
        EXPECT_EQ(errorOf([&] { (queue.*move)(); }), u"在范围外的名单索引 (-1)"_s);
        EXPECT_EQ(queue.entries(), QStringList({url1, url2}));
        EXPECT_EQ(queue.currentUrl(), u"typed"_s);
        EXPECT_TRUE(queue.upEnabled());
        EXPECT_TRUE(queue.downEnabled());
    }
}

TEST(DownloadQueue, AnEmptiedQueueEmptiesTheCurrentDownloadWithoutError)
{
    DownloadQueue queue;
    queue.replaceAll({url1});
    queue.setCurrentUrl(url1);
    queue.setSelected(0);
    queue.deleteSelected();
    EXPECT_EQ(queue.count(), 0);
    EXPECT_EQ(queue.currentUrl(), QString());

    queue.setCurrentUrl(u"typed"_s);
    queue.moveLast();
    EXPECT_EQ(queue.currentUrl(), QString());
    EXPECT_EQ(errorOf([&] { queue.head(); }), u"在范围外的名单索引 (0)"_s);
    EXPECT_EQ(errorOf([&] { queue.removeHead(); }), u"在范围外的名单索引 (0)"_s);
}

TEST(DownloadQueue, DeleteRemovesOnlyTheSelectedEntry)
{
    DownloadQueue queue;
    queue.replaceAll({url1, url2, url3});
    queue.deleteSelected();
    EXPECT_EQ(queue.count(), 3);
    EXPECT_EQ(queue.currentUrl(), url1);

    queue.setSelected(1);
    queue.deleteSelected();
    EXPECT_EQ(queue.entries(), QStringList({url1, url3}));
    EXPECT_EQ(queue.selected(), -1);
}

TEST(DownloadQueue, RemoveHeadKeepsTheSelectionOnItsEntry)
{
    DownloadQueue queue;
    queue.replaceAll({url1, url2, url3});
    queue.setSelected(2);
    queue.removeHead();
    EXPECT_EQ(queue.entries(), QStringList({url2, url3}));
    EXPECT_EQ(queue.selected(), 1);
    queue.setSelected(0);
    queue.removeHead();
    EXPECT_EQ(queue.selected(), -1);

    // An entry further down: the selection above it stays, the one below it moves up with it.
    queue.replaceAll({url1, url2, url3});
    queue.setSelected(0);
    queue.removeAt(1);
    EXPECT_EQ(queue.entries(), QStringList({url1, url3}));
    EXPECT_EQ(queue.selected(), 0);
    queue.setSelected(1);
    queue.removeAt(0);
    EXPECT_EQ(queue.selected(), 0);
    EXPECT_EQ(errorOf([&] { queue.removeAt(1); }), u"在范围外的名单索引 (1)"_s);
}

TEST(DownloadQueue, AppendKeepsDuplicatesAndBlankEntries)
{
    DownloadQueue queue;
    for (const QString &line : {url1, QString(), url1, u" x "_s})
        queue.append(line);
    queue.showHead();
    EXPECT_EQ(queue.entries(), QStringList({url1, QString(), url1, u" x "_s}));
    EXPECT_EQ(queue.currentUrl(), url1);

    queue.clear();
    EXPECT_EQ(queue.count(), 0);
    EXPECT_EQ(queue.currentUrl(), QString());
}

// A view follows the queue by its change signals alone, one entry at a time.
TEST(DownloadQueue, EachEntryKeepsItsOwnIdWhereverItGoesAndAViewCanFollowEveryChange)
{
    DownloadQueue queue;
    QStringList view;
    QObject::connect(&queue, &DownloadQueue::entriesReset, &queue, [&] { view = queue.entries(); });
    QObject::connect(&queue, &DownloadQueue::entriesInserted, &queue, [&](int first, int count) {
        for (int i = first; i < first + count; ++i)
            view.insert(i, queue.at(i));
    });
    QObject::connect(&queue, &DownloadQueue::entryRemoved, &queue, [&](int index) { view.removeAt(index); });
    QObject::connect(&queue, &DownloadQueue::entryMoved, &queue, [&](int from, int to) { view.move(from, to); });
    queue.replaceAll({url1, url1, url2});
    const DownloadQueue::EntryId second = queue.idAt(1);
    EXPECT_NE(queue.idAt(0), second);

    // Every operation that moves or drops entries, and where the second url1 must be after it.
    const std::vector<std::pair<std::function<void()>, int>> steps = {
        {[&] { queue.setSelected(1), queue.moveDown(); }, 2},
        {[&] { queue.setSelected(2), queue.moveFirst(); }, 0},
        {[&] { queue.setSelected(0), queue.moveUp(); }, 2},
        {[&] { queue.move(2, 1); }, 1},
        {[&] { queue.prepend(url2); }, 2},
        {[&] { queue.removeHead(); }, 1},
        {[&] { queue.setSelected(0), queue.deleteSelected(); }, 0},
        {[&] { queue.append(url1); }, 0},
        {[&] { queue.setSelected(1), queue.deleteSelected(); }, 0},
    };
    for (const auto &[step, index] : steps) {
        step();
        EXPECT_EQ(queue.indexOf(second), index);
        EXPECT_EQ(queue.at(index), url1);
        EXPECT_EQ(view, queue.entries());
    }
    EXPECT_EQ(queue.entries(), QStringList({url1, url1}));
    queue.removeAt(0);
    EXPECT_EQ(queue.indexOf(second), -1);
    queue.replaceAll({url1});
    EXPECT_NE(queue.idAt(0), second);

    // The selection stays on its entry while others move past it.
    queue.replaceAll({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    queue.setSelected(1);
    const std::vector<std::tuple<int, int, int>> moves = {{0, 3, 0}, {3, 0, 1}, {1, 2, 2}, {0, 2, 1}};
    for (const auto &[from, to, selected] : moves) {
        queue.move(from, to);
        EXPECT_EQ(queue.selected(), selected);
        EXPECT_EQ(queue.at(selected), u"b"_s);
        EXPECT_EQ(view, queue.entries());
    }
}

// Ids outlive the run once entries are kept: two queues (two runs) must not hand out the same.
TEST(DownloadQueue, IdsAreSixteenHexDigitsUniqueAcrossQueuesAndKeptThroughEveryMove)
{
    const QStringList urls(500, url1);
    DownloadQueue first;
    DownloadQueue second;
    first.replaceAll(urls);
    second.appendAll(urls);
    QSet<DownloadQueue::EntryId> seen;
    const QRegularExpression hex(u"^[0-9a-f]{16}$"_s);
    for (const DownloadQueue *queue : {&first, &second}) {
        for (int i = 0; i < queue->count(); ++i) {
            const DownloadQueue::EntryId id = queue->idAt(i);
            EXPECT_TRUE(hex.match(DownloadEntry::idText(id)).hasMatch()) << DownloadEntry::idText(id).toStdString();
            EXPECT_FALSE(seen.contains(id)) << "entry " << i << " repeats an id";
            seen.insert(id);
        }
    }
    EXPECT_EQ(DownloadEntry::idText(0xabc), u"0000000000000abc"_s);

    // Each way an entry changes place, and where the tracked entry (first's entry 3) is after it.
    const DownloadQueue::EntryId tracked = first.idAt(3);
    const std::vector<std::pair<std::function<void()>, int>> steps = {
        {[&] { first.move(3, 0); }, 0},
        {[&] { first.setSelected(0), first.moveLast(); }, 499},
        {[&] { first.setSelected(499), first.moveUp(); }, 498},
        {[&] { first.insert(10, first.takeAt(498)); }, 10},
        {[&] { first.prepend(url2); }, 11},
    };
    for (const auto &[step, index] : steps) {
        step();
        EXPECT_EQ(first.indexOf(tracked), index);
    }
    // A copy of an entry still queued is another entry: it must not share the id.
    first.insert(0, first.entry(11));
    EXPECT_NE(first.idAt(0), tracked);
    EXPECT_EQ(first.indexOf(tracked), 12);
}

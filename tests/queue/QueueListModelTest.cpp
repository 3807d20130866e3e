// SPDX-License-Identifier: MIT
#include "queue/QueueListModel.h"
#include "queue/DownloadQueue.h"
#include "queue/ShownUrl.h"

#include <QPersistentModelIndex>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Step
{
    const char *name;
    std::function<void(DownloadQueue &)> change;
    /** The model signal the change must come as: a view of 100,000 rows must not reset for one. */
    const char *announced;
};

} // namespace

TEST(QueueListModel, RowsFollowEachChangeOneEntryAtATimeAndShowTheEntryFitToShow)
{
    DownloadQueue queue;
    QueueListModel model(queue);
    QStringList announced;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model, [&] { announced << u"inserted"_s; });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model, [&] { announced << u"removed"_s; });
    QObject::connect(&model, &QAbstractItemModel::rowsMoved, &model, [&] { announced << u"moved"_s; });
    QObject::connect(&model, &QAbstractItemModel::modelReset, &model, [&] { announced << u"reset"_s; });
    QObject::connect(&model, &QAbstractItemModel::dataChanged, &model, [&] { announced << u"changed"_s; });

    const std::vector<Step> steps = {
        {"reset",
         [](DownloadQueue &q) {
             q.replaceAll({u"a"_s, u"http://user:pw@h/b"_s, u"c"_s, u"d"_s});
         },
         "reset"},
        {"append",
         [](DownloadQueue &q) {
             q.appendAll({u"e"_s, u"f\u202Egpj.exe"_s});
         },
         "inserted"},
        {"prepend", [](DownloadQueue &q) { q.prepend(u"z"_s); }, "inserted"},
        {"down", [](DownloadQueue &q) { q.move(1, 4); }, "moved"},
        {"up", [](DownloadQueue &q) { q.move(5, 0); }, "moved"},
        {"remove", [](DownloadQueue &q) { q.removeAt(2); }, "removed"},
        {"take and put back", [](DownloadQueue &q) { q.insert(q.count(), q.takeAt(0)); }, "removed inserted"},
        {"state",
         [](DownloadQueue &q) { q.edit(q.idAt(1), [](DownloadEntry &e) { e.state = DownloadEntry::State::Active; }); },
         "changed"},
        {"clear", [](DownloadQueue &q) { q.clear(); }, "reset"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        // The rows a view holds on to (its current row, its selection) must stay on their entries.
        std::vector<std::pair<DownloadQueue::EntryId, QPersistentModelIndex>> held;
        for (int row = 0; row < queue.count(); ++row)
            held.emplace_back(queue.idAt(row), model.index(row));
        announced.clear();
        step.change(queue);
        EXPECT_EQ(announced.join(u' '), QString::fromLatin1(step.announced));
        ASSERT_EQ(model.rowCount(), queue.count());
        for (int row = 0; row < queue.count(); ++row)
            EXPECT_EQ(model.data(model.index(row)).toString(), shownUrl(queue.at(row))) << row;
        for (const auto &[id, index] : held) {
            // A removed row is gone for the view, even when its entry comes back as a new row.
            if (!index.isValid() && QByteArray(step.announced).contains("removed"))
                continue;
            EXPECT_EQ(index.row(), queue.indexOf(id)) << "the row held for entry " << id;
        }
    }
    queue.replaceAll({u"http://user:pw@h/b%E4%B8%AD"_s});
    EXPECT_EQ(model.data(model.index(0)).toString(), u"http://user:***@h/b中"_s);
    EXPECT_EQ(queue.at(0), u"http://user:pw@h/b%E4%B8%AD"_s) << "the URL itself stays as given";
}

// SPDX-License-Identifier: MIT
#include "queue/HistoryTableModel.h"
#include "queue/DownloadHistory.h"
#include "transfer/ProgressText.h"

#include <QPersistentModelIndex>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using State = DownloadEntry::State;

DownloadEntry entry(DownloadEntry::Id id, State state, const QString &url = u"http://h/x"_s)
{
    DownloadEntry made;
    made.id = id;
    made.state = state;
    made.url = url;
    return made;
}

QStringList rowTexts(const HistoryTableModel &model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

struct Step
{
    const char *name;
    std::function<void(DownloadHistory &)> change;
    /** The model signal the change must come as: a long history must not reset for one record. */
    const char *announced;
    /** The state column, row by row, afterwards. */
    QStringList states;
};

} // namespace

TEST(HistoryTableModel, RowsFollowEachChangeOneRecordAtATime)
{
    DownloadHistory history;
    HistoryTableModel model(history);
    QStringList announced;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model, [&] { announced << u"inserted"_s; });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model, [&] { announced << u"removed"_s; });
    QObject::connect(&model, &QAbstractItemModel::modelReset, &model, [&] { announced << u"reset"_s; });
    QObject::connect(
        &model, &QAbstractItemModel::dataChanged, &model, [&](const QModelIndex &from, const QModelIndex &to) {
            announced << u"changed %1:%2-%3:%4"_s.arg(from.row()).arg(from.column()).arg(to.row()).arg(to.column());
        });

    const std::vector<Step> steps = {
        {"record", [](DownloadHistory &h) { h.record(entry(1, State::Failed)); }, "inserted", {u"失败"_s}},
        {"record all",
         [](DownloadHistory &h) {
             h.recordAll({entry(2, State::Done), entry(3, State::Removed)});
         },
         "inserted",
         {u"失败"_s, u"完成"_s, u"已删除"_s}},
        {"the same entry ends again",
         [](DownloadHistory &h) { h.record(entry(1, State::Done)); },
         "changed 0:0-0:5",
         {u"完成"_s, u"完成"_s, u"已删除"_s}},
        {"take", [](DownloadHistory &h) { h.take(2); }, "removed", {u"完成"_s, u"已删除"_s}},
        {"clear", [](DownloadHistory &h) { h.clear(); }, "reset", {}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        // The rows a view holds on to (its current row, its selection) must stay on their records.
        std::vector<std::pair<DownloadEntry::Id, QPersistentModelIndex>> held;
        for (int row = 0; row < history.count(); ++row)
            held.emplace_back(history.at(row).id, model.index(row, 0));
        announced.clear();
        step.change(history);
        EXPECT_EQ(announced.join(u' '), QString::fromLatin1(step.announced));
        ASSERT_EQ(model.rowCount(), history.count());
        QStringList states;
        for (int row = 0; row < model.rowCount(); ++row)
            states << model.index(row, HistoryTableModel::StateColumn).data().toString();
        EXPECT_EQ(states, step.states);
        for (const auto &[id, index] : held) {
            if (index.isValid())
                EXPECT_EQ(index.row(), history.indexOf(id)) << "the row held for record " << id;
            else
                EXPECT_EQ(history.indexOf(id), -1) << "record " << id << " lost its row";
        }
    }
}

TEST(HistoryTableModel, EachStateShowsItsColumnsFitToShow)
{
    const QDateTime finished(QDate(2026, 3, 4), QTime(5, 6, 7));
    struct Case
    {
        const char *name;
        DownloadEntry record;
        QStringList columns;
        bool mayDownloadAgain;
        QUrl folder;
    };
    DownloadEntry done = entry(1, State::Done, u"http://user:pw@h/a"_s);
    done.fileName = u"/home/u/Quorvel/Downloads/setup.zip"_s;
    done.sizeBytes = 1536 * 1024;
    done.finished = finished;
    // What the command after the file made of it is told where a failure's reason would be.
    DownloadEntry commanded = entry(5, State::Done, u"http://h/e"_s);
    commanded.command = CommandRecord{u"退出码 4\u202E"_s, u"<b>x</b>\n"_s};
    DownloadEntry failed = entry(2, State::Failed, u"http://h/b\u202Egpj.exe"_s);
    failed.lastFailure = FailureCause::transient(u"超时\u202E"_s);
    failed.fileName = u"/tmp/in\u202Efdp.exe"_s;
    failed.finished = finished;
    DownloadEntry dropped = entry(3, State::Dropped, u"http://h/c"_s);
    // A reason from an earlier failure is not why a dropped entry ended.
    dropped.lastFailure = FailureCause::permanent(u"HTTP 404"_s);
    DownloadEntry removed = entry(4, State::Removed, u"http://h/d"_s);
    removed.sizeBytes = 0;
    const std::vector<Case> cases = {
        {"done",
         done,
         {u"完成"_s, QString(), u"setup.zip"_s, megabytesText(1536), u"2026-03-04 05:06:07"_s,
          u"http://user:***@h/a"_s},
         false,
         QUrl(u"file:///home/u/Quorvel/Downloads"_s)},
        {"done, with its command's end",
         commanded,
         {u"完成"_s, u"完成后的命令: 退出码 4_"_s, QString(), QString(), QString(), u"http://h/e"_s},
         false,
         QUrl()},
        {"failed",
         failed,
         {u"失败"_s, u"超时_"_s, u"in_fdp.exe"_s, QString(), u"2026-03-04 05:06:07"_s, u"http://h/b_gpj.exe"_s},
         true,
         QUrl(u"file:///tmp"_s)},
        {"dropped",
         dropped,
         {u"文件不存在"_s, QString(), QString(), QString(), QString(), u"http://h/c"_s},
         true,
         QUrl()},
        {"removed",
         removed,
         {u"已删除"_s, QString(), QString(), megabytesText(0), QString(), u"http://h/d"_s},
         true,
         QUrl()},
    };
    DownloadHistory history;
    HistoryTableModel model(history);
    for (const Case &c : cases)
        history.record(c.record);
    QModelIndexList all;
    QList<DownloadEntry::Id> again;
    for (int row = 0; row < int(cases.size()); ++row) {
        const Case &c = cases.at(row);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rowTexts(model, row), c.columns);
        EXPECT_EQ(model.idsToDownloadAgain({model.index(row, 0)}).size(), c.mayDownloadAgain ? 1 : 0);
        EXPECT_EQ(model.folderUrl(model.index(row, 0)), c.folder);
        // A whole row selected comes as one index a column; its record counts once.
        for (int column = 0; column < model.columnCount(); ++column)
            all.prepend(model.index(row, column));
        if (c.mayDownloadAgain)
            again.append(c.record.id);
    }
    EXPECT_EQ(model.idsToDownloadAgain(all), again);
    EXPECT_EQ(model.countsText(), u"完成 2 个, 失败 1 个, 文件不存在 1 个, 已删除 1 个"_s);
    // All of what it printed, shown as text even where it looks like markup.
    EXPECT_EQ(model.index(1, HistoryTableModel::ReasonColumn).data(Qt::ToolTipRole).toString(),
              u"<pre>&lt;b&gt;x&lt;/b&gt;\n</pre>"_s);
    EXPECT_FALSE(model.index(0, HistoryTableModel::ReasonColumn).data(Qt::ToolTipRole).isValid());
    EXPECT_EQ(model.headerData(HistoryTableModel::UrlColumn, Qt::Horizontal).toString(), u"网址"_s);
}

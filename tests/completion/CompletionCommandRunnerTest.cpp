// SPDX-License-Identifier: MIT
// Real commands, small shell scripts written by each test into a folder of its own.
#include "completion/CompletionCommandRunner.h"
#include "tests/support/Budget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

/** Writes an executable sh script named name into folder; answers its path. */
QString script(const QTemporaryDir &folder, const QString &name, const QByteArray &body)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body + '\n');
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(CompletionCommandRunner, RecordsHowEachKindOfCommandEndedAndWhatItPrinted)
{
    const QString cutNote = u"\n(输出超过 64 KiB, 其余未保留)"_s;
    const struct
    {
        const char *name;
        QByteArray body;
        /** After the script's quoted path; the script is "%1". */
        QString arguments;
        QString result;
        QString output;
        /** Whether it runs into the time limit; the others have all the time a loaded machine needs. */
        bool hangs = false;
    } rows[] = {
        // Grouped by double quotes, but never expanded by a shell; aria2's three arguments follow.
        {"records", R"(printf '%s\n' "$@" > "$(dirname "$0")/args"; echo done)", uR"( --to $HOME "two words" *)"_s,
         u"退出码 0"_s, u"done\n"_s},
        {"fails", "echo oops >&2; exit 3", QString(), u"退出码 3"_s, u"oops\n"_s},
        {"hangs", "echo started; exec sleep 30", QString(), u"超过 1 秒未结束, 已终止"_s, u"started\n"_s, true},
        {"ignores the request to end", "trap '' TERM; echo started; while :; do sleep 0.05; done", QString(),
         u"超过 1 秒未结束, 已终止"_s, u"started\n"_s, true},
        {"floods", "head -c 200000 /dev/zero | tr '\\0' x; printf 'late'", QString(), u"退出码 0"_s,
         QString(64 * 1024, u'x') + cutNote},
        {"prints a NUL", R"(printf 'a\000b\033c')", QString(), u"退出码 0"_s, u"a\uFFFDb\uFFFDc"_s},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir folder(QDir::tempPath() + u"/quorvel command XXXXXX"_s);
        const QString path = script(folder, u"on done.sh"_s, row.body);
        CompletionCommandRunner runner({row.hangs ? 1s : 30s, 200ms});
        runner.setCommand(u"\"%1\""_s.arg(path) + row.arguments);
        std::vector<std::pair<DownloadEntry::Id, CommandRecord>> ends;
        QObject::connect(&runner, &CompletionCommandRunner::finished, &runner,
                         [&ends](DownloadEntry::Id id, const CommandRecord &record) { ends.emplace_back(id, record); });
        runner.run(0xab, u"/dl/a b.bin"_s);
        EXPECT_TRUE(ends.empty()) << "said from inside run()";
        ASSERT_TRUE(runWithinBudget([&] { return !runner.isBusy(); }, 10s));
        ASSERT_EQ(ends.size(), 1u);
        EXPECT_EQ(ends[0].first, 0xabu);
        EXPECT_EQ(ends[0].second.result, row.result);
        EXPECT_EQ(ends[0].second.output, row.output);
        if (QByteArray(row.name) == "records") {
            EXPECT_EQ(readAll(folder.filePath(u"args"_s)),
                      u"--to\n$HOME\ntwo words\n*\n00000000000000ab\n1\n/dl/a b.bin\n"_s);
        }
    }
}

TEST(CompletionCommandRunner, RunsOneAtATimeInTurnAndSaysWhatCouldNotStart)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(u"log"_s);
    const QString path = script(
        folder, u"slow.sh"_s,
        R"(echo "start $1" >> "$(dirname "$0")/log"; sleep 0.2; echo "end $1" >> "$(dirname "$0")/log")");
    CompletionCommandRunner runner;
    runner.run(1, u"/dl/never"_s);
    EXPECT_FALSE(runner.isBusy()) << "no command is set";

    std::vector<DownloadEntry::Id> ended;
    int idles = 0;
    QObject::connect(&runner, &CompletionCommandRunner::finished, &runner,
                     [&ended](DownloadEntry::Id id, const CommandRecord &) { ended.push_back(id); });
    QObject::connect(&runner, &CompletionCommandRunner::idle, &runner, [&idles] { ++idles; });
    runner.setCommand(path);
    runner.run(1, u"/dl/1"_s);
    runner.run(2, u"/dl/2"_s);
    CommandRecord missing;
    QObject::connect(&runner, &CompletionCommandRunner::finished, &runner,
                     [&missing](DownloadEntry::Id id, const CommandRecord &record) {
                         if (id == 3)
                             missing = record;
                     });
    runner.setCommand(folder.filePath(u"missing"_s));
    runner.run(3, u"/dl/3"_s);
    ASSERT_TRUE(runWithinBudget([&] { return !runner.isBusy(); }, 10s));
    EXPECT_EQ(ended, (std::vector<DownloadEntry::Id>{1, 2, 3}));
    EXPECT_EQ(idles, 1);
    EXPECT_EQ(readAll(log),
              u"start 0000000000000001\nend 0000000000000001\nstart 0000000000000002\nend 0000000000000002\n"_s);
    EXPECT_TRUE(missing.result.startsWith(u"无法启动: "_s)) << missing.result.toStdString();
}

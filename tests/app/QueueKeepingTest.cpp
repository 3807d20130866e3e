// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"

#include "app/QueueKeeping.h"
#include "app/StatusPanels.h"
#include "keep/KeptQueueText.h"
#include "tests/support/FakeStateFile.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

class QueueKeepingTest : public MainWindowFixture
{
protected:
    QueueKeepingTest()
    {
        KeptQueue kept;
        for (const QString &url : {u"http://h/one"_s, u"http://h/two"_s}) {
            DownloadEntry entry;
            entry.id = DownloadEntry::Id(url.size() + kept.queue.size());
            entry.url = url;
            kept.queue.append(entry);
        }
        file.setContent(KeptQueueText::write(kept));
    }
    std::unique_ptr<QueueKeeping> keep()
    {
        return std::make_unique<QueueKeeping>(*form, session, downloads, file, settings, defaultFolder());
    }

    FakeStateFile file;
    QSettings settings{home.filePath(u"quorvel.ini"_s), QSettings::IniFormat};
};

} // namespace

TEST_F(QueueKeepingTest, TheWindowStartsWithTheKeptQueueAndTheMenuTurnsKeepingOffForGood)
{
    auto keeping = keep();
    EXPECT_EQ(form->ListBox1->model()->rowCount(), 2);
    EXPECT_EQ(form->StatusBar1->panelText(0), u"已恢复 2 个下载"_s);
    EXPECT_EQ(form->NameEdit->text(), u"http://h/one"_s);
    EXPECT_TRUE(form->KeepQueue1->isChecked());

    form->KeepQueue1->trigger();
    EXPECT_FALSE(file.content().has_value()) << "nothing is kept once keeping is off";
    keeping.reset();
    file.setContent("# quorvel-queue format=1\nhttp://h/three\n# quorvel-queue end\n");
    queue.clear();
    keeping = keep();
    EXPECT_FALSE(form->KeepQueue1->isChecked()) << "the choice is kept";
    EXPECT_EQ(queue.count(), 0);
    EXPECT_EQ(file.replaces, 0);
}

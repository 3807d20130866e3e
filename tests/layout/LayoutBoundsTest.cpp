// SPDX-License-Identifier: MIT
// What a hostile layout or page cannot do: run a pattern past linear time, hold a huge pattern's
// automaton, press more than one control, press again unasked, or be read whole when huge.
#include "automation/MainUnitState.h"
#include "automation/PageTextBuffer.h"
#include "layout/LayoutLoader.h"
#include "layout/LayoutPageReader.h"
#include "tests/layout/ParsedLayout.h"
#include "tests/support/FakePageBrowser.h"
#include "tests/support/ManualClock.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(LayoutBoundsTest, HostileLayoutsAndPagesStayBounded)
{
    // Backtracking engines take exponential time on these; RE2 answers in one pass.
    const HostLayout layout = parsedLayout(QStringLiteral("hosts = files.example\n"
                                                          "missing = pattern: ^(a+)+$\n"
                                                          "wait = pattern: ((x+x+)+y)(\\d)\n"
                                                          "press = value: Go\n"
                                                          "file = pattern: (a|aa)+b(c)\n"));
    PageTextBuffer buffer;
    buffer.replaceText(QString(200000, u'a') + u'!' + QString(100000, u'x'));
    MainUnitState state;
    ManualClock clock;
    FakePageBrowser browser;
    browser.current = std::make_shared<FakePageDocument>();
    QStringList clicks;
    // A page with thousands of controls that all match: one press, of the first.
    for (int i = 0; i < 3000; ++i)
        browser.current->addForm({{QStringLiteral("go%1").arg(i), QStringLiteral("Go")}}, clicks);
    LayoutPageReader reader(buffer, state, clock, browser);
    reader.use(layout);
    EXPECT_EQ(reader.findMissing(), PageAction::None);
    EXPECT_EQ(reader.findWait(), PageAction::None);
    EXPECT_EQ(reader.findCountdown(), PageAction::None);
    EXPECT_TRUE(reader.press(browser, 0));
    EXPECT_EQ(clicks, QStringList{QStringLiteral("go0")});
    // Without "press-repeats = yes", the page a press led to is not pressed again.
    EXPECT_FALSE(reader.press(browser, 1));
    EXPECT_EQ(clicks.size(), 1);

    // A pattern whose automaton would need megabytes is refused at its line.
    const auto huge = LayoutParser::parse(QStringLiteral("huge.layout"),
                                          "hosts = a.example\nfile = action\nmissing = pattern: (\\pL){300}\n",
                                          Re2PatternCompiler());
    ASSERT_TRUE(std::holds_alternative<LayoutError>(huge));
    EXPECT_EQ(std::get<LayoutError>(huge).line, 3);
    EXPECT_TRUE(std::get<LayoutError>(huge).reason.contains(QStringLiteral("不被接受")));

    // A 10 MB file is refused for its size without being read whole.
    const QTemporaryDir dir;
    QFile big(dir.filePath(QStringLiteral("big.layout")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(10 * 1024 * 1024));
    big.close();
    const auto read = LayoutLoader::loadFile(big.fileName(), Re2PatternCompiler());
    ASSERT_TRUE(std::holds_alternative<LayoutError>(read));
    EXPECT_TRUE(std::get<LayoutError>(read).reason.contains(QStringLiteral("大于 ")))
        << std::get<LayoutError>(read).reason.toStdString();
}

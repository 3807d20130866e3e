// SPDX-License-Identifier: MIT
#include "automation/PageTextBuffer.h"
#include "common/QuorvelError.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

class PageTextBufferTest : public testing::Test
{
protected:
    PageTextBufferTest()
    {
        buffer.setOnChange([this] {
            ++changes;
            textsSeenByHandler.append(buffer.text());
        });
        buffer.setTextObserver([this](const QString &text) { mirrored = text; });
    }

    PageTextBuffer buffer;
    int changes = 0;
    QStringList textsSeenByHandler;
    QString mirrored;
};

TEST(PageTextBufferCrLf, turnsEveryLoneBreakIntoCrLf)
{
    EXPECT_EQ(PageTextBuffer::withCrLf(u"a\nb"_s), u"a\r\nb");
    EXPECT_EQ(PageTextBuffer::withCrLf(u"a\rb"_s), u"a\r\nb");
    EXPECT_EQ(PageTextBuffer::withCrLf(u"a\r\nb"_s), u"a\r\nb");
    EXPECT_EQ(PageTextBuffer::withCrLf(u"\n\r"_s), u"\r\n\r\n");
    EXPECT_EQ(PageTextBuffer::withCrLf(u"\r\r\n\n"_s), u"\r\n\r\n\r\n");
    EXPECT_EQ(PageTextBuffer::withCrLf(u"end\r"_s), u"end\r\n");
    EXPECT_EQ(PageTextBuffer::withCrLf(u"\nstart"_s), u"\r\nstart");
    EXPECT_EQ(PageTextBuffer::withCrLf(QString()), QString());
}

TEST_F(PageTextBufferTest, replaceNotifiesOnceWithTheNewTextAndTheCaretAtTheStart)
{
    buffer.replaceText(u"<p>one</p>\n<p>two</p>"_s);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(textsSeenByHandler.value(0), u"<p>one</p>\r\n<p>two</p>");
    EXPECT_EQ(mirrored, buffer.text());
    EXPECT_EQ(buffer.selStart(), 0);
    EXPECT_EQ(buffer.selLength(), 0);
}

TEST_F(PageTextBufferTest, anEqualTextAfterNormalisationChangesNothing)
{
    buffer.replaceText(u"a\nb"_s);
    buffer.appendLine(u"tail"_s);
    const qsizetype caret = buffer.selStart();
    buffer.replaceText(u"a\nb\r\ntail"_s);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(buffer.selStart(), caret);

    buffer.replaceText(u"other"_s);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(buffer.selStart(), 0);
}

TEST_F(PageTextBufferTest, clearEmptiesWithoutNotifyingSoTheSamePageNotifiesAgain)
{
    buffer.replaceText(u"page"_s);
    buffer.clear();
    EXPECT_EQ(buffer.text(), QString());
    EXPECT_EQ(mirrored, QString());
    EXPECT_EQ(changes, 1);
    buffer.replaceText(u"page"_s);
    EXPECT_EQ(changes, 2);
}

TEST_F(PageTextBufferTest, appendPutsOneBreakBetweenAndTheCaretAtTheEnd)
{
    buffer.appendLine(u"first"_s);
    EXPECT_EQ(buffer.text(), u"first");
    buffer.appendLine(u"second"_s);
    EXPECT_EQ(buffer.text(), u"first\r\nsecond");
    buffer.replaceText(u"ends\n"_s);
    buffer.appendLine(u"x\ny"_s);
    EXPECT_EQ(buffer.text(), u"ends\r\nx\r\ny");
    EXPECT_EQ(buffer.selStart(), buffer.text().size());
    EXPECT_EQ(buffer.selLength(), 0);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(textsSeenByHandler.last(), buffer.text());
}

TEST_F(PageTextBufferTest, anErrorOfTheHandlerLeavesReplaceWithTheTextStored)
{
    buffer.setOnChange([] { throw QuorvelError(u"dispatch failed"_s); });
    EXPECT_THROW(buffer.replaceText(u"page"_s), QuorvelError);
    EXPECT_EQ(buffer.text(), u"page");
    EXPECT_THROW(buffer.appendLine(u"line"_s), QuorvelError);
    EXPECT_EQ(buffer.text(), u"page\r\nline");
}

TEST_F(PageTextBufferTest, aHandlerMayEmptyTheBufferWhileItRuns)
{
    // A click in the dispatch starts a navigation, whose before-navigate empties the buffer.
    buffer.setOnChange([this] { buffer.clear(); });
    buffer.replaceText(u"page"_s);
    EXPECT_EQ(buffer.text(), QString());
    EXPECT_EQ(buffer.selStart(), 0);
}

} // namespace

// SPDX-License-Identifier: MIT
#include "automation/BrowserPageAccess.h"
#include "automation/PageTextBuffer.h"

#include "tests/support/FakePageBrowser.h"
#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

const QString errorLine = u"No Web Document Body HTML"_s;

class BrowserInfoTest : public testing::Test
{
protected:
    BrowserInfoTest()
    {
        buffer.setOnChange([this] {
            dispatched.append(buffer.text());
            if (dispatchError)
                dispatchError();
        });
    }

    std::shared_ptr<FakePageDocument> pageWithBody(const QString &body)
    {
        auto document = std::make_shared<FakePageDocument>();
        document->body = body;
        browser.current = document;
        return document;
    }

    FakePageBrowser browser;
    PageTextBuffer buffer;
    QStringList dispatched;
    std::function<void()> dispatchError;
    int pumped = 0;
    BrowserPageAccess access{browser, buffer, [this] { ++pumped; }};
};

TEST_F(BrowserInfoTest, processesPendingEventsThenDispatchesTheBodyOnce)
{
    // A timer tick handled by the event pump may load another page; the read must see that one.
    auto first = pageWithBody(u"first"_s);
    BrowserPageAccess pumping(browser, buffer, [this] { pageWithBody(u"<p>a\nb</p>"_s); });
    pumping.BrowserInfo();
    EXPECT_EQ(dispatched, QStringList{u"<p>a\r\nb</p>"_s});
    EXPECT_EQ(buffer.selStart(), 0);
}

TEST_F(BrowserInfoTest, theSameBodyAgainRunsNoDispatch)
{
    pageWithBody(u"<p>a\nb</p>"_s);
    access.BrowserInfo();
    pageWithBody(u"<p>a\r\nb</p>"_s);
    access.BrowserInfo();
    EXPECT_EQ(pumped, 2);
    EXPECT_EQ(dispatched.size(), 1);
}

TEST_F(BrowserInfoTest, noDocumentOrNoBodyAppendsTheErrorLine)
{
    access.BrowserInfo();
    EXPECT_EQ(dispatched, QStringList{errorLine});

    auto document = std::make_shared<FakePageDocument>();
    browser.current = document;
    buffer.replaceText(u"old page"_s);
    dispatched.clear();
    access.BrowserInfo();
    EXPECT_EQ(dispatched, QStringList{u"old page\r\n"_s + errorLine});
    EXPECT_EQ(buffer.selStart(), buffer.text().size());
}

TEST_F(BrowserInfoTest, anyErrorOfTheDispatchLeadsToTheErrorLine)
{
    pageWithBody(u"var c=x;"_s);
    dispatchError = [this] {
        if (dispatched.size() == 1)
            throw QuorvelError(u"'x' 不是一个合法的整数值"_s);
    };
    access.BrowserInfo();
    EXPECT_EQ(dispatched, (QStringList{u"var c=x;"_s, u"var c=x;\r\n"_s + errorLine}));

    pageWithBody(u"other"_s);
    dispatched.clear();
    dispatchError = [this] {
        if (dispatched.size() == 1)
            throw std::runtime_error("not a QuorvelError");
    };
    access.BrowserInfo();
    EXPECT_EQ(dispatched.size(), 2);
}

TEST_F(BrowserInfoTest, anErrorOfTheSecondDispatchReachesTheCaller)
{
    pageWithBody(u"page"_s);
    dispatchError = [] { throw QuorvelError(u"form step failed"_s); };
    EXPECT_THROW(access.BrowserInfo(), QuorvelError);
    EXPECT_EQ(dispatched.size(), 2);
}

class FillFormTest : public testing::Test
{
protected:
    FillFormTest() { browser.current = document; }

    FakePageBrowser browser;
    std::shared_ptr<FakePageDocument> document = std::make_shared<FakePageDocument>();
    QStringList clicks;
    const QString freeUser = u"Free user"_s;
};

TEST_F(FillFormTest, aDocumentWithoutFormsClicksNothing)
{
    EXPECT_FALSE(BrowserPageAccess::FillForm(browser, freeUser));
    EXPECT_EQ(browser.documentReads, 1);
}

TEST_F(FillFormTest, clicksEveryExactMatchInDocumentOrder)
{
    document->addForm({{u"a"_s, u"free user"_s}, {u"b"_s, freeUser}, {u"c"_s, u"Free user "_s}}, clicks);
    document->addForm({{u"d"_s, u"Premium"_s}, {u"e"_s, freeUser}}, clicks);
    EXPECT_TRUE(BrowserPageAccess::FillForm(browser, freeUser));
    EXPECT_EQ(clicks, (QStringList{u"b"_s, u"e"_s}));
}

TEST_F(FillFormTest, onlyOtherCaseMeansNoClick)
{
    document->addForm({{u"a"_s, u"FREE USER"_s}, {u"b"_s, u"free user"_s}}, clicks);
    EXPECT_FALSE(BrowserPageAccess::FillForm(browser, freeUser));
    EXPECT_TRUE(clicks.isEmpty());
}

TEST_F(FillFormTest, anElementWithoutValueEndsTheWholeSearch)
{
    document->addForm({{u"a"_s, u"x"_s}, {u"b"_s, freeUser}, {u"c"_s, std::nullopt}, {u"d"_s, freeUser}},
                      clicks);
    document->addForm({{u"e"_s, freeUser}}, clicks);
    EXPECT_TRUE(BrowserPageAccess::FillForm(browser, freeUser));
    EXPECT_EQ(clicks, QStringList{u"b"_s});
}

TEST_F(FillFormTest, eachFormIsTakenFromTheDocumentCurrentAtThatMoment)
{
    document->addForm({{u"a"_s, freeUser}}, clicks);
    document->addForm({{u"b"_s, freeUser}}, clicks);
    auto next = std::make_shared<FakePageDocument>();
    next->addForm({{u"x"_s, u"no"_s}}, clicks);
    next->addForm({{u"y"_s, freeUser}}, clicks);
    // The first click navigates; the old document stays alive while its form is being read.
    document->forms[0]->elements[0]->onClick = [this, next] { browser.current = next; document.reset(); };
    EXPECT_TRUE(BrowserPageAccess::FillForm(browser, freeUser));
    EXPECT_EQ(clicks, (QStringList{u"a"_s, u"y"_s}));
}

TEST_F(FillFormTest, errorsOutsideTheElementStepPropagate)
{
    document->addForm({{u"a"_s, freeUser}}, clicks);
    document->forms[0]->hasLength = false;
    EXPECT_THROW(BrowserPageAccess::FillForm(browser, freeUser), QuorvelError);

    browser.current.reset();
    EXPECT_THROW(BrowserPageAccess::FillForm(browser, freeUser), QuorvelError);
}

} // namespace

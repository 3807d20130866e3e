// SPDX-License-Identifier: MIT
#include "platform/web/HtmlDocument.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

const QUrl pageUrl(QStringLiteral("http://host.test/page"));

QByteArray repeated(const char *piece, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out.append(piece);
    return out;
}

// Each paragraph reopens every open formatting element: the tree grows with their product.
QByteArray formattingStorm(int elements, int paragraphs)
{
    QByteArray page = "<p>";
    for (int i = 0; i < elements; ++i)
        page.append("<b id=").append(QByteArray::number(i)).append('>');
    return page + repeated("<p>x", paragraphs);
}

TEST(ParseBounds, APageWithinTheBudgetIsParsedWhole)
{
    ParseBudget budget;
    budget.maxNodes = 100;
    budget.deadline = std::chrono::steady_clock::now() + 60s;
    const auto parsed = HtmlDocument::parseWithin("<p>a<p>b<form><input name=x></form>", pageUrl, budget);
    ASSERT_TRUE(parsed.document);
    EXPECT_EQ(parsed.refusal, ParseRefusal::None);
    EXPECT_EQ(parsed.document->bodyInnerHtml(), QStringLiteral("<p>a</p><p>b</p><form><input name=\"x\"></form>"));
    EXPECT_FALSE(parsed.document->loadFailure());
}

TEST(ParseBounds, EachBoundEndsTheParseAndSaysWhich)
{
    const QByteArray storm = formattingStorm(200, 2000);
    ParseBudget nodes;
    nodes.maxNodes = 10000;
    EXPECT_EQ(HtmlDocument::parseWithin(storm, pageUrl, nodes).refusal, ParseRefusal::TooManyNodes);

    ParseBudget memory;
    memory.maxBytes = 4 * 1024 * 1024;
    const auto overMemory = HtmlDocument::parseWithin(storm, pageUrl, memory);
    EXPECT_FALSE(overMemory.document);
    EXPECT_EQ(overMemory.refusal, ParseRefusal::TooMuchMemory);

    ParseBudget late;
    late.deadline = std::chrono::steady_clock::now() - 1ms;
    EXPECT_EQ(HtmlDocument::parseWithin(storm, pageUrl, late).refusal, ParseRefusal::Deadline);
}

TEST(ParseBounds, NestedOutputsAreRefusedButALargeTextareaIsNot)
{
    // Each output's value is all the text it encloses: a few hundred KiB would hold gigabytes.
    const auto nested = HtmlDocument::parseWithin("<form>" + repeated("<output>x", 20000), pageUrl, {});
    EXPECT_FALSE(nested.document);
    EXPECT_EQ(nested.refusal, ParseRefusal::TooMuchFormText);

    const QByteArray text = repeated("line of text\n", 200000);
    const auto large = HtmlDocument::parseWithin("<form><textarea name=t>" + text + "</textarea><output>" + text
                                                     + "</output></form>",
                                                 pageUrl, {});
    ASSERT_TRUE(large.document);
    EXPECT_EQ(large.document->form(0).item(0).value().size(), text.size());
}

TEST(ParseBounds, DeepNestingEndsAtEitherClock)
{
    // Parsed whole, this would take minutes: gumbo's work grows with the square of the depth.
    const QByteArray deep = repeated("<div>", 300000);
    ParseBudget wall;
    wall.deadline = std::chrono::steady_clock::now() + 200ms;
    EXPECT_EQ(HtmlDocument::parseWithin(deep, pageUrl, wall).refusal, ParseRefusal::Deadline);
    ParseBudget processor;
    processor.maxCpuTime = 200ms;
    EXPECT_EQ(HtmlDocument::parseWithin(deep, pageUrl, processor).refusal, ParseRefusal::TooMuchCpuTime);
}

TEST(ParseBounds, ACancelFromAnotherThreadEndsTheParse)
{
    std::atomic<bool> cancel = false;
    ParseBudget budget;
    budget.cancel = &cancel;
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(100ms);
        cancel = true;
    });
    const auto parsed = HtmlDocument::parseWithin(repeated("<div>", 300000), pageUrl, budget);
    canceller.join();
    EXPECT_EQ(parsed.refusal, ParseRefusal::Cancelled);
}

} // namespace

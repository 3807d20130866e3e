// SPDX-License-Identifier: MIT
// Pages of the shapes file hosts serve, each with the body innerHTML that headless Chromium gave
// for it (tools/browser-diff/browser-diff.sh --write-golden): the engine must give the same.
#include "platform/web/HtmlDocument.h"
#include "platform/web/PageDecoder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cctype>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<std::string> pageNames()
{
    std::vector<std::string> names;
    for (const QString &name : QDir(QStringLiteral(QUORVEL_GOLDEN_PAGES)).entryList({QStringLiteral("*.html")}, QDir::Files))
        names.push_back(name.chopped(5).toStdString());
    return names;
}

class GoldenPage : public testing::TestWithParam<std::string>
{
};

TEST_P(GoldenPage, BodyMatchesChromium)
{
    const QString base = QStringLiteral(QUORVEL_GOLDEN_PAGES "/") + QString::fromStdString(GetParam());
    const QByteArray browser = contents(base + QStringLiteral(".body"));
    ASSERT_FALSE(browser.isEmpty()) << "no golden body for " << GetParam();
    // Served as the diff tool serves it: text/html with no charset.
    const auto document = HtmlDocument::parse(PageDecoder::toUtf8(contents(base + QStringLiteral(".html")), "text/html"),
                                              QUrl(QStringLiteral("http://127.0.0.1/page.html")));
    EXPECT_EQ(document->bodyInnerHtml().toUtf8().toStdString(), browser.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenPage, testing::ValuesIn(pageNames()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param;
                             for (char &c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(GoldenPages, AreThere)
{
    EXPECT_GE(pageNames().size(), 40u);
}

} // namespace

// SPDX-License-Identifier: MIT
#include "platform/web/HtmlDocument.h"

#include "common/QuorvelError.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace std::string_view_literals;

namespace {

struct SerializerRow
{
    const char *name;
    std::string_view source;
    // What Chromium's document.body.innerHTML gives for the same source.
    std::string_view browser;
};

const SerializerRow serializerRows[] = {
    {"entities", "<p>a &amp; b &lt; c &gt; d &quot;e&quot; &#39;f&#39; &copy; &euro</p>"sv,
     "<p>a &amp; b &lt; c &gt; d \"e\" 'f' \302\251 &amp;euro</p>"sv},
    {"attributeQuotesAndAmpersands", "<a href=\"?a=1&amp;b=2&c\" title='say \"hi\"' data-x=it's>x</a>"sv,
     "<a href=\"?a=1&amp;b=2&amp;c\" title=\"say &quot;hi&quot;\" data-x=\"it's\">x</a>"sv},
    {"attributeAngleBrackets", "<a title=\"a<b>c\" href=x>y</a>"sv, "<a title=\"a&lt;b&gt;c\" href=\"x\">y</a>"sv},
    {"nbsp", "<p>a&nbsp;b <span title=\"&nbsp;x\">c\302\240</span></p>"sv,
     "<p>a&nbsp;b <span title=\"&nbsp;x\">c&nbsp;</span></p>"sv},
    {"voidElements",
     "<br><img src=x alt=\"\"><input type=text value=v><hr/><wbr><embed><source><track><area><link rel=x><meta name=m>"sv,
     "<br><img src=\"x\" alt=\"\"><input type=\"text\" value=\"v\"><hr><wbr><embed><source><track><area><link rel=\"x\"><meta name=\"m\">"sv},
    {"legacyVoidElements", "<p>x</p><basefont><bgsound><param name=p><keygen>"sv,
     "<p>x</p><basefont><bgsound><param name=\"p\"><keygen>"sv},
    {"scriptAndStyleKeepTextRaw",
     "<p>x</p><script>if (a < b && c > \"d\") document.title = \"<b>&amp;\";</script><style>p > a { content: \"&amp;\" }</style>"sv,
     "<p>x</p><script>if (a < b && c > \"d\") document.title = \"<b>&amp;\";</script><style>p > a { content: \"&amp;\" }</style>"sv},
    {"otherRawTextParents",
     "<xmp><b>&amp;</b></xmp><iframe><p>&</p></iframe><noembed><i>x</i></noembed><noframes><q></q></noframes>"sv,
     "<xmp><b>&amp;</b></xmp><iframe><p>&</p></iframe><noembed><i>x</i></noembed><noframes><q></q></noframes>"sv},
    {"noscript", "<p>x</p><noscript><b>a &amp; b</b></noscript>"sv, "<p>x</p><noscript><b>a &amp; b</b></noscript>"sv},
    {"plaintext", "<plaintext><b>&amp; x"sv, "<plaintext><b>&amp; x</plaintext>"sv},
    {"comments", "<p>0</p><!-- a -- b --><p>x<!--y--></p><!----><!-- <b>&amp; -->"sv,
     "<p>0</p><!-- a -- b --><p>x<!--y--></p><!----><!-- <b>&amp; -->"sv},
    {"svg",
     "<svg viewBox=\"0 0 10 10\" xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"><foreignObject><div>h</div></foreignObject><clipPath id=\"c\"><use xlink:href=\"#a\"/></clipPath><linearGradient gradientUnits=\"userSpaceOnUse\"/></svg>"sv,
     "<svg viewBox=\"0 0 10 10\" xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"><foreignObject><div>h</div></foreignObject><clipPath id=\"c\"><use xlink:href=\"#a\"></use></clipPath><linearGradient gradientUnits=\"userSpaceOnUse\"></linearGradient></svg>"sv},
    {"svgUppercaseSource",
     "<SVG><FOREIGNOBJECT><b>x</b></FOREIGNOBJECT><feGaussianBlur STDDEVIATION=2 /><TEXTPATH/></SVG>"sv,
     "<svg><foreignObject><b>x</b></foreignObject><feGaussianBlur stdDeviation=\"2\"></feGaussianBlur><textPath></textPath></svg>"sv},
    {"svgCdata", "<svg><![CDATA[a<b&c]]></svg><p><![CDATA[x]]></p>"sv,
     "<svg>a&lt;b&amp;c</svg><p><!--[CDATA[x]]--></p>"sv},
    {"math",
     "<math><mi xml:lang=\"en\">x</mi><annotation-xml encoding=\"text/html\"><b>y</b></annotation-xml><mtext definitionurl=u>t</mtext></math>"sv,
     "<math><mi xml:lang=\"en\">x</mi><annotation-xml encoding=\"text/html\"><b>y</b></annotation-xml><mtext definitionURL=\"u\">t</mtext></math>"sv},
    {"template", "<p>x</p><template><tr><td>cell</td></tr><p>para</p></template><template></template>"sv,
     "<p>x</p><template><tr><td>cell</td></tr><p>para</p></template><template></template>"sv},
    {"lfOnlyLineBreaks",
     "<div>\nline1\nline2\n</div>\n<pre>\n\nx</pre>\n<textarea>\nfirst</textarea>\n<listing>\n\ny</listing>\n"sv,
     "<div>\nline1\nline2\n</div>\n<pre>\nx</pre>\n<textarea>first</textarea>\n<listing>\ny</listing>\n"sv},
    {"crLineBreaksBecomeLf", "<p>a\r\nb\rc</p>"sv, "<p>a\nb\nc</p>"sv},
    {"lineBreakBeforeFormEndStaysInTheForm", "<div><form action=x>\r\n<input type=submit>\r\n</form>\r\n</div>"sv,
     "<div><form action=\"x\">\n<input type=\"submit\">\n</form>\n</div>"sv},
    {"textBeforeFormEndStaysInTheForm", "<div><form>a&amp;b</form>c<p>x</div><form><b>y</b>\rz</FORM >\n"sv,
     "<div><form>a&amp;b</form>c<p>x</p></div><form><b>y</b>\nz</form>\n"sv},
    {"textWithAStrayEndTagBeforeFormEndStaysInTheForm", "<form>a</span>b\n</form>c"sv, "<form>ab\n</form>c"sv},
    {"textAfterAStrayFormEndStaysOutside", "<form></form>a</form>b<form><i>c</i></form>"sv,
     "<form></form>ab<form><i>c</i></form>"sv},
    {"caseOfTagsAndAttributes", "<DIV CLASS=\"A\">x</DIV><Custom-El Data-X=1>y</Custom-El>"sv,
     "<div class=\"A\">x</div><custom-el data-x=\"1\">y</custom-el>"sv},
    {"misnestedFormatting", "<b><i>x</b>y</i>"sv, "<b><i>x</i></b><i>y</i>"sv},
    {"implicitTableBody", "<table><tr><td>1<td>2</table>"sv,
     "<table><tbody><tr><td>1</td><td>2</td></tr></tbody></table>"sv},
    {"duplicateAttributesKeepFirst", "<p b=2 a=1 b=3 c>t</p>"sv, "<p b=\"2\" a=\"1\" c=\"\">t</p>"sv},
    {"bodyAttributesAndTrailingContent",
     "<html><head><title>t</title></head><body class=x><p>a</p></body></html><p>b</p>"sv, "<p>a</p><p>b</p>"sv},
    {"nullCharacters", "<p>a\000b</p><p title=\"x\000y\">c</p>"sv, "<p>ab</p><p title=\"x\357\277\275y\">c</p>"sv},
    {"freeUserForm",
     "<form action=\"/cgi/dl.cgi\" method=\"post\"><input type=\"hidden\" name=\"dl.start\" value=\"Free\"><input type=\"submit\" value=\"Free user\"></form>\n<script>var c=30;</script>"sv,
     "<form action=\"/cgi/dl.cgi\" method=\"post\"><input type=\"hidden\" name=\"dl.start\" value=\"Free\"><input type=\"submit\" value=\"Free user\"></form>\n<script>var c=30;</script>"sv},
    {"selectAndOptions", "<select name=s><option>a<option selected>b &amp; c</select>"sv,
     "<select name=\"s\"><option>a</option><option selected=\"\">b &amp; c</option></select>"sv},
    {"emptyBody", ""sv, ""sv},
    {"unclosedTagsAtEnd", "<div><span title=\"x"sv, "<div></div>"sv},
};

class InnerHtmlMatchesBrowser : public testing::TestWithParam<SerializerRow>
{
};

TEST_P(InnerHtmlMatchesBrowser, Row)
{
    const SerializerRow &row = GetParam();
    const auto document = HtmlDocument::parse(QByteArray(row.source.data(), qsizetype(row.source.size())),
                                              QUrl(QStringLiteral("http://example.test/")));
    EXPECT_EQ(document->bodyInnerHtml().toStdString(), std::string(row.browser));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, InnerHtmlMatchesBrowser, testing::ValuesIn(serializerRows),
                         [](const testing::TestParamInfo<SerializerRow> &info) { return std::string(info.param.name); });

TEST(HtmlDocument, FramesetPageHasNoBody)
{
    const auto document = HtmlDocument::parse(
        "<html><frameset cols=\"50%,50%\"><frame src=\"a.html\"><frame src=\"b.html\"></frameset></html>",
        QUrl(QStringLiteral("http://example.test/dir/page.html")));
    EXPECT_THROW(document->bodyInnerHtml(), QuorvelError);
}

TEST(HtmlDocument, FrameSourcesResolvedAgainstPageKeepOnlyHttp)
{
    const auto document = HtmlDocument::parse(
        "<frameset><frame src=\"a.html\"><frame src=\"javascript:void(0)\"><frame>"
        "<frame src=\"https://other.test/b\"><frame src=\" /c \"></frameset>",
        QUrl(QStringLiteral("http://example.test/dir/page.html")));
    const QList<QUrl> expected{QUrl(QStringLiteral("http://example.test/dir/a.html")),
                               QUrl(QStringLiteral("https://other.test/b")),
                               QUrl(QStringLiteral("http://example.test/c"))};
    EXPECT_EQ(document->frameSources(), expected);
}

TEST(HtmlDocument, DeepNestingDoesNotExhaustTheStack)
{
    QByteArray html;
    for (int i = 0; i < 200000; ++i)
        html.append("<span>");
    html.append("deep");
    const auto document = HtmlDocument::parse(html, QUrl(QStringLiteral("http://example.test/")));
    EXPECT_TRUE(document->bodyInnerHtml().contains(u"deep"));
}

} // namespace

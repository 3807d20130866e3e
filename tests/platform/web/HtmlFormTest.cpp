// SPDX-License-Identifier: MIT
#include "platform/web/HtmlDocument.h"

#include "common/QuorvelError.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

std::shared_ptr<HtmlDocument> page(const char *html)
{
    return HtmlDocument::parse(html, QUrl(QStringLiteral("http://host.test/dir/file.html?old=1")));
}

QString valueOf(HtmlForm &form, int j)
{
    return form.item(j).value();
}

TEST(HtmlForm, ValuesOfEachElementKind)
{
    const auto document = page(
        "<form><input name=a value=\"x\"><input name=b><input type=checkbox name=c>"
        "<input type=text value=\"line\nbreak\"><button value=bv>B</button><button>no value</button>"
        "<select><option>first<option selected value=sv>second</select>"
        "<select><option disabled>off<option>  spaced   label  </select>"
        "<select size=3><option>none</select>"
        "<textarea>\ntext &amp; more</textarea><output>out</output></form>");
    HtmlForm &form = document->form(0);
    const QStringList expected{u"x"_s, {}, u"on"_s, u"linebreak"_s, u"bv"_s, {}, u"sv"_s,
                               u"spaced label"_s, {}, u"text & more"_s, u"out"_s};
    ASSERT_EQ(form.length(), expected.size());
    for (int j = 0; j < form.length(); ++j)
        EXPECT_EQ(valueOf(form, j), expected[j]) << "item " << j;
}

TEST(HtmlForm, ControlsKeepTheTextTheyShowAndTheirAttributes)
{
    const auto document = page("<form id=f class=\"a b\"><button class=\" big  go \" value=v>\n <b>Slow</b>\t\u00a0"
                               "download&nbsp; </button><input type=submit value=\" Go \"><input type=reset>"
                               "<input name=q value=typed><select><option>o</select></form>");
    HtmlForm &form = document->form(0);
    struct Shown
    {
        QString tag;
        QString text;
        std::optional<QString> className;
    };
    // A no-break space is the text's own, as in an option's label; only ASCII white space collapses.
    const Shown expected[] = {{u"button"_s, u"Slow \u00a0download\u00a0"_s, u" big  go "_s},
                              {u"input"_s, u" Go "_s, std::nullopt},
                              {u"input"_s, QString(), std::nullopt},
                              {u"input"_s, QString(), std::nullopt},
                              {u"select"_s, QString(), std::nullopt}};
    ASSERT_EQ(form.length(), std::size(expected));
    for (int j = 0; j < form.length(); ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(form.item(j).tagName(), expected[j].tag);
        EXPECT_EQ(form.item(j).text(), expected[j].text);
        EXPECT_EQ(form.item(j).attribute(u"class"_s), expected[j].className);
    }
    EXPECT_EQ(form.item(3).attribute(u"value"_s), u"typed"_s);
    EXPECT_EQ(form.attribute(u"id"_s), u"f"_s);
    EXPECT_EQ(form.attribute(u"class"_s), u"a b"_s);
}

TEST(HtmlForm, ElementsWithoutValueAndIndicesOutOfRangeThrow)
{
    const auto document = page("<form><fieldset><input value=in></fieldset><object></object></form>");
    HtmlForm &form = document->form(0);
    ASSERT_EQ(form.length(), 3);
    EXPECT_THROW(form.item(0).value(), QuorvelError);
    EXPECT_EQ(form.item(1).value(), u"in");
    EXPECT_THROW(form.item(2).value(), QuorvelError);
    EXPECT_THROW(form.item(3), QuorvelError);
    EXPECT_THROW(form.item(-1), QuorvelError);
    EXPECT_THROW(document->form(1), QuorvelError);
}

TEST(HtmlForm, FormsCountAndOwnershipThroughFormAttribute)
{
    const auto document = page(
        "<input form=f2 value=early><form id=f1><input value=one></form>"
        "<form id=f2><input value=two></form><input form=f2 value=late><input form=nowhere value=lost>"
        "<template><form><input></form></template>");
    EXPECT_EQ(document->formTagCount(), 2);
    ASSERT_EQ(document->formCount(), 2);
    EXPECT_EQ(document->form(0).length(), 1);
    HtmlForm &second = document->form(1);
    ASSERT_EQ(second.length(), 3);
    EXPECT_EQ(valueOf(second, 0), u"early");
    EXPECT_EQ(valueOf(second, 1), u"two");
    EXPECT_EQ(valueOf(second, 2), u"late");
}

TEST(HtmlForm, PostSubmissionCarriesSuccessfulControlsAndTheSubmitter)
{
    const auto document = page(
        "<form action=\"../cgi/dl.cgi\" method=POST>"
        "<input type=hidden name=\"dl.start\" value=\"Free\"><input name=q value=\"a b&c=d+é~\">"
        "<input type=checkbox name=on1 checked><input type=checkbox name=off1 value=x>"
        "<input type=radio name=r value=1><input type=radio name=r value=2 checked>"
        "<input name=dis value=d disabled><fieldset disabled><input name=infs value=f></fieldset>"
        "<select name=m multiple><option selected>m1<option>m2<option selected>m3</select>"
        "<textarea name=t>l1\nl2</textarea><input value=unnamed>"
        "<input type=submit name=other value=Other><input type=submit name=free value=\"Free user\"></form>");
    HtmlForm &form = document->form(0);
    const auto request = form.submission(form.item(form.length() - 1));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->url.toString(), u"http://host.test/cgi/dl.cgi");
    EXPECT_EQ(request->contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(request->body, "dl.start=Free&q=a+b%26c%3Dd%2B%C3%A9%7E&on1=on&r=2&m=m1&m=m3&t=l1%0D%0Al2&free=Free+user");
    EXPECT_EQ(request->referer, u"http://host.test/dir/file.html?old=1");
}

TEST(HtmlForm, GetReplacesQueryAndEmptyActionIsThePage)
{
    const auto document = page("<form><input name=k value=\"v w\"><button>Go</button></form>"
                               "<form action=\"/search?x=1#top\"><input name=k value=1><input type=image name=img></form>");
    HtmlForm &first = document->form(0);
    const auto toPage = first.submission(first.item(1));
    ASSERT_TRUE(toPage);
    EXPECT_EQ(toPage->method, "GET");
    EXPECT_EQ(toPage->url.toString(), u"http://host.test/dir/file.html?k=v+w");
    HtmlForm &second = document->form(1);
    const auto toSearch = second.submission(*second.controls().at(1));
    ASSERT_TRUE(toSearch);
    EXPECT_EQ(toSearch->url.toString(), u"http://host.test/search?k=1&img.x=0&img.y=0#top");
}

TEST(HtmlForm, ImageButtonsAreLeftOutOfElementsButStillSubmitWhenClicked)
{
    const auto document = page("<form action=/go method=post><input name=a value=1><input type=image name=pic>"
                               "<input type=IMAGE><input type=submit name=free value=\"Free user\"></form>");
    QList<PageRequest> requests;
    document->setNavigator([&requests](const PageRequest &request) { requests.append(request); });
    HtmlForm &form = document->form(0);
    ASSERT_EQ(form.length(), 2);
    EXPECT_EQ(form.item(1).value(), u"Free user");
    EXPECT_THROW(form.item(2), QuorvelError);

    const std::vector<HtmlFormControl *> controls = form.controls();
    ASSERT_EQ(controls.size(), 4u);
    controls[1]->click();
    controls[2]->click();
    form.item(1).click();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[0].body, "a=1&pic.x=0&pic.y=0");
    EXPECT_EQ(requests[1].body, "a=1&x=0&y=0");
    EXPECT_EQ(requests[2].body, "a=1&free=Free+user");
}

TEST(HtmlForm, SubmitterOverridesAndMultipartAndDialog)
{
    const auto document = page(
        "<form action=/a method=post enctype=multipart/form-data><input name=n value=v><input type=file name=f>"
        "<button name=b value=1 formaction=/b>go</button><button type=submit formmethod=dialog>close</button></form>");
    HtmlForm &form = document->form(0);
    const auto request = form.submission(form.item(2));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->url.path(), u"/b");
    EXPECT_TRUE(request->isMultipart());
    const QList<FormEntry> expected{{u"n"_s, u"v"_s}, {u"f"_s, {}, true}, {u"b"_s, u"1"_s}};
    EXPECT_EQ(request->multipart, expected);
    EXPECT_FALSE(form.submission(form.item(3)));

    const auto asText = page("<form action=/a method=get><input name=n value=v>"
                             "<input type=submit formmethod=POST formenctype=text/plain>"
                             "<input type=submit formaction=/c></form>");
    HtmlForm &textForm = asText->form(0);
    const auto posted = textForm.submission(textForm.item(1));
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->method, "POST");
    EXPECT_EQ(posted->url.path(), u"/a");
    EXPECT_EQ(posted->body, "n=v\r\n");
    const auto got = textForm.submission(textForm.item(2));
    ASSERT_TRUE(got);
    EXPECT_EQ(got->method, "GET");
    EXPECT_EQ(got->url.toString(), u"http://host.test/c?n=v");
}

TEST(HtmlForm, ADisabledFieldsetDisablesAllButItsFirstLegend)
{
    const auto document = page(
        "<form><fieldset disabled><legend><input name=first value=1></legend>"
        "<legend><input name=second value=2></legend><input name=plain value=3>"
        "<fieldset><legend><input name=inner value=4></legend></fieldset></fieldset>"
        "<fieldset><input name=open value=5></fieldset><input type=submit></form>");
    HtmlForm &form = document->form(0);
    QStringList enabled;
    for (const HtmlFormControl *control : form.controls()) {
        if (!control->isDisabled() && !control->name().isEmpty())
            enabled.append(control->name());
    }
    EXPECT_EQ(enabled, QStringList({u"first"_s, u"open"_s}));
    const auto request = form.submission(form.item(form.length() - 1));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->url.query(), u"first=1&open=5");
}

TEST(HtmlForm, ClicksThatSubmitNothingDoNotNavigate)
{
    const auto document = page("<form><input name=t><input type=reset><button type=button>b</button>"
                               "<input type=submit disabled><input type=submit value=go></form>");
    int navigations = 0;
    document->setNavigator([&navigations](const PageRequest &) { ++navigations; });
    HtmlForm &form = document->form(0);
    for (int j = 0; j < 4; ++j)
        form.item(j).click();
    EXPECT_EQ(navigations, 0);
    form.item(4).click();
    EXPECT_EQ(navigations, 1);
}

} // namespace

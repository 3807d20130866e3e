// SPDX-License-Identifier: MIT
#include "tests/tools/fakehost/HostClient.h"
#include "tests/tools/fakehost/RunningHost.h"
#include "tools/fakehost/FileContent.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using FakeHostWalk = RunningHost;

TEST_F(FakeHostWalk, freeUserWalkEndsInTheGeneratedBytesForTheCookieHolderOnly)
{
    HostClient client(port());
    const auto filePage = client.get(url("/file/report%20v2.zip?size=300000&countdown=7"));
    ASSERT_TRUE(filePage);
    EXPECT_EQ(filePage->status, 200);
    EXPECT_TRUE(filePage->has_header("Set-Cookie"));
    EXPECT_NE(filePage->body.find("<input type=\"submit\" name=\"dl.start\" value=\"Free user\">"), std::string::npos);
    EXPECT_NE(filePage->body.find("<b>report v2.zip</b>"), std::string::npos);
    const std::string freeUserUrl = firstAbsoluteAction(filePage->body);
    EXPECT_EQ(HostClient::pathOf(freeUserUrl).rfind("/free/report%20v2.zip?", 0), 0u) << freeUserUrl;

    const auto countdown = client.post(freeUserUrl);
    ASSERT_TRUE(countdown);
    // The seconds end at ";" and the next line does not start with one: a reader that takes a
    // few characters after "var c=" and cuts at the last ";" gets the number alone.
    EXPECT_NE(countdown->body.find("var c=7;\nfunction"), std::string::npos);
    EXPECT_EQ(countdown->body.find("var c=", countdown->body.find("var c=") + 1), std::string::npos);
    const std::string fileUrl = firstAbsoluteAction(countdown->body);
    EXPECT_EQ(fileUrl.rfind(url("/get/"), 0), 0u) << fileUrl;
    EXPECT_EQ(fileUrl.substr(fileUrl.rfind('/') + 1), "report%20v2.zip");
    EXPECT_NE(countdown->body.find("action=\"" + fileUrl + "\" method=\"post\""), std::string::npos);

    const auto file = client.get(fileUrl);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status, 200);
    EXPECT_EQ(file->get_header_value("Content-Length"), "300000");
    EXPECT_TRUE(file->body == FileContent("report%20v2.zip", 300000).bytes(0, 300000));

    client.forgetCookie();
    const auto refused = client.get(fileUrl);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 403);

    const auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "listening on " + url(""));
    const std::string fileLine = "GET " + HostClient::pathOf(fileUrl) + " 200 300000";
    EXPECT_NE(std::find(lines.begin(), lines.end(), fileLine), lines.end());
}

TEST_F(FakeHostWalk, waitPagesComeOncePerSessionThenTheCountdown)
{
    const std::string path = "/file/big.iso?wait=3&about=12&countdown=2";
    HostClient first(port());
    EXPECT_NE(pressFreeUser(first, path).find("<p>Unfortunately you will have to wait 3 minutes.</p>"),
              std::string::npos);
    // The "m" of "minutes" is the last one soon after the number, which is how a reader finds its end.
    EXPECT_NE(pressFreeUser(first, path).find("<p>Or try again in about 12 minutes.</p>"), std::string::npos);
    const std::string countdown = pressFreeUser(first, path);
    EXPECT_NE(countdown.find("var c=2;"), std::string::npos);
    EXPECT_EQ(countdown.find("again in about"), std::string::npos);

    HostClient second(port());
    EXPECT_NE(pressFreeUser(second, path).find("you will have to wait 3 minutes"), std::string::npos);
}

TEST_F(FakeHostWalk, missingFileAndUnusablePageAddressesAreTold)
{
    HostClient client(port());
    const auto missing = client.get(url("/file/gone.zip?missing=1"));
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->body.find("The file could not be found. Please check the download link."), std::string::npos);
    EXPECT_EQ(missing->body.find("Free user"), std::string::npos);

    const auto typo = client.get(url("/file/a.zip?countdwon=3"));
    ASSERT_TRUE(typo);
    EXPECT_EQ(typo->status, 400);
    EXPECT_NE(typo->body.find("countdwon"), std::string::npos);
    const auto badNumber = client.get(url("/file/a.zip?size=-1"));
    ASSERT_TRUE(badNumber);
    EXPECT_EQ(badNumber->status, 400);

    HostClient stranger(port());
    const auto noSession = stranger.post(url("/free/a.zip"));
    ASSERT_TRUE(noSession);
    EXPECT_EQ(noSession->status, 403);
}

TEST_F(FakeHostWalk, framesVariantHoldsAnAdFrameThatTheHostServes)
{
    HostClient client(port());
    const auto filePage = client.get(url("/file/f.bin?frames=1"));
    ASSERT_TRUE(filePage);
    const std::string src = "<iframe src=\"";
    const std::size_t at = filePage->body.find(src);
    ASSERT_NE(at, std::string::npos);
    const std::size_t begin = at + src.size();
    const auto frame = client.get(filePage->body.substr(begin, filePage->body.find('"', begin) - begin));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->status, 200);
    EXPECT_EQ(frame->body.find("Free user"), std::string::npos);
    EXPECT_NE(pressFreeUser(client, "/file/f.bin?frames=1").find(src), std::string::npos);
}

TEST_F(FakeHostWalk, namesKeepTheirEscapesAndLoseWhatWouldBreakTheForm)
{
    HostClient client(port());
    const std::string countdown = pressFreeUser(client, "/file/q%22x&y.bin?size=1000");
    const std::string fileUrl = firstAbsoluteAction(countdown);
    const std::string name = fileUrl.substr(fileUrl.rfind('/') + 1);
    EXPECT_EQ(name, "q%22x%26y.bin");
    EXPECT_NE(countdown.find("<b>q&quot;x&amp;y.bin</b>"), std::string::npos);
    const auto file = client.get(fileUrl);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->body == FileContent(name, 1000).bytes(0, 1000));
}

} // namespace

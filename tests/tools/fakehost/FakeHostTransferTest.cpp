// SPDX-License-Identifier: MIT
#include "tests/tools/fakehost/HostClient.h"
#include "tests/tools/fakehost/RunningHost.h"
#include "tools/fakehost/FileContent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

class FakeHostTransfer : public RunningHost
{
protected:
    /** Walks the pages of the file at path with client and answers the file's direct address. */
    std::string fileUrlOf(HostClient &client, const std::string &path)
    {
        return firstAbsoluteAction(pressFreeUser(client, path));
    }
};

TEST_F(FakeHostTransfer, bodyWithoutLengthIsChunkedAndWhole)
{
    HostClient client(port());
    const auto file = client.get(fileUrlOf(client, "/file/stream.bin?size=200000&nolength=1"));
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->has_header("Content-Length"));
    EXPECT_EQ(file->get_header_value("Transfer-Encoding"), "chunked");
    EXPECT_TRUE(file->body == FileContent("stream.bin", 200000).bytes(0, 200000));
}

TEST_F(FakeHostTransfer, resetCutsTheFirstTransferHalfwayAndTheNextOneIsWhole)
{
    HostClient client(port());
    const std::string fileUrl = fileUrlOf(client, "/file/flaky.bin?size=200001&fail=reset");
    const std::string expected = FileContent("flaky.bin", 200001).bytes(0, 200001);

    std::string cut;
    EXPECT_FALSE(client.getInto(fileUrl, cut));
    EXPECT_EQ(cut.size(), 100000u);
    EXPECT_TRUE(cut == expected.substr(0, cut.size()));

    std::string whole;
    const auto again = client.getInto(fileUrl, whole);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_TRUE(whole == expected);
}

TEST_F(FakeHostTransfer, resetAlwaysCutsEveryTransferAlsoWithoutLength)
{
    HostClient client(port());
    const std::string fileUrl = fileUrlOf(client, "/file/broken.bin?size=50000&fail=reset-always&nolength=1");
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string body;
        EXPECT_FALSE(client.getInto(fileUrl, body));
        EXPECT_EQ(body.size(), 25000u);
    }
}

TEST_F(FakeHostTransfer, fileAddressRefusesOtherSessionsUnknownTicketsAndFail404)
{
    HostClient owner(port());
    const std::string fileUrl = fileUrlOf(owner, "/file/mine.bin?size=10");
    HostClient other(port());
    ASSERT_TRUE(other.get(url("/file/mine.bin")));
    const auto stolen = other.get(fileUrl);
    ASSERT_TRUE(stolen);
    EXPECT_EQ(stolen->status, 403);

    const auto unknown = owner.get(url("/get/0123456789abcdef/mine.bin"));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->status, 404);
    const auto renamed = owner.get(fileUrl.substr(0, fileUrl.rfind('/')) + "/yours.bin");
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->status, 404);

    const auto gone = owner.get(fileUrlOf(owner, "/file/gone.bin?fail=404"));
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->status, 404);
}

TEST_F(FakeHostTransfer, rateStretchesTheTransferAndStopEndsItEarly)
{
    HostClient paced(port());
    const std::string pacedUrl = fileUrlOf(paced, "/file/paced.bin?size=4000&rate=8000");
    const auto begin = std::chrono::steady_clock::now();
    const auto file = paced.get(pacedUrl);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->body.size(), 4000u);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(400));

    HostClient slow(port());
    const std::string slowUrl = fileUrlOf(slow, "/file/slow.bin?size=10000000&rate=1000");
    auto transfer = std::async(std::launch::async, [&] {
        std::string body;
        slow.getInto(slowUrl, body);
        return body.size();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto stopBegin = std::chrono::steady_clock::now();
    stopHost();
    EXPECT_LT(std::chrono::steady_clock::now() - stopBegin, std::chrono::seconds(2));
    ASSERT_EQ(transfer.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_LT(transfer.get(), 10000000u);
}

} // namespace

TEST_F(FakeHostTransfer, directLinksAnswerWithTheFileItsTypeAndDisposition)
{
    struct Row
    {
        std::string path;
        std::string name; // as FileContent knows it
        std::string type;
        std::string disposition;
    };
    const std::vector<Row> rows{
        {"/direct/plain.bin?size=7000", "plain.bin", "application/octet-stream", ""},
        {"/direct/cn.bin?size=5000&filename*=%E4%B8%AD%E6%96%87.bin&filename=cn.bin", "cn.bin",
         // httplib's client percent-decodes the header values it reads; curl sees the escapes.
         "application/octet-stream", "attachment; filename*=UTF-8''\xE4\xB8\xAD\xE6\x96\x87.bin; filename=\"cn.bin\""},
        {"/direct/up.bin?size=10&filename=..%2F..%2Fx%22.bin", "up.bin", "application/octet-stream",
         "attachment; filename=\"../../x\\\".bin\""},
        {"/direct/lie.bin?size=3000&type=text%2Fhtml", "lie.bin", "text/html", ""},
        {"/direct/stream.bin?size=4000&nolength=1", "stream.bin", "application/octet-stream", ""},
    };
    for (const Row &row : rows) {
        HostClient client(port());
        const auto file = client.get(url(row.path));
        ASSERT_TRUE(file) << row.path;
        EXPECT_EQ(file->status, 200) << row.path;
        EXPECT_EQ(file->get_header_value("Content-Type"), row.type) << row.path;
        EXPECT_EQ(file->get_header_value("Content-Disposition"), row.disposition) << row.path;
        EXPECT_FALSE(file->has_header("Set-Cookie")) << row.path;
        const FileContent content(row.name, FileOptions::fromQuery(row.path.substr(row.path.find('?') + 1), {}).size);
        EXPECT_TRUE(file->body == content.bytes(0, content.size())) << row.path;
    }
    HostClient client(port());
    EXPECT_EQ(client.get(url("/direct/gone.bin?fail=404"))->status, 404);
    httplib::Client ranged("127.0.0.1", port());
    const auto rest = ranged.Get("/direct/plain.bin?size=7000", {{"Range", "bytes=6000-"}});
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->status, 206);
    EXPECT_TRUE(rest->body == FileContent("plain.bin", 7000).bytes(6000, 1000));
}

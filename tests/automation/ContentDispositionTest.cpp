// SPDX-License-Identifier: MIT
#include "automation/ContentDisposition.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

struct DispositionRow
{
    const char *header;
    bool attachment;
    const char *fileName; // UTF-8
};

class ContentDispositionParse : public testing::TestWithParam<DispositionRow>
{
};

TEST_P(ContentDispositionParse, tellsAttachmentAndName)
{
    const ContentDisposition parsed = ContentDisposition::parse(GetParam().header);
    EXPECT_EQ(parsed.attachment, GetParam().attachment) << GetParam().header;
    EXPECT_EQ(parsed.fileName, QString::fromUtf8(GetParam().fileName)) << GetParam().header;
}

INSTANTIATE_TEST_SUITE_P(
    Rfc6266, ContentDispositionParse,
    testing::Values(DispositionRow{"", false, ""}, DispositionRow{"inline", false, ""},
                    DispositionRow{"attachment", true, ""},
                    DispositionRow{"ATTACHMENT ; FileName=a.bin", true, "a.bin"},
                    DispositionRow{"inline; filename=\"shown.pdf\"", false, "shown.pdf"},
                    // An unknown type is handled as attachment.
                    DispositionRow{"x-save; filename=a.bin", true, "a.bin"},
                    DispositionRow{"attachment; filename=\"with \\\"quote\\\"; and semicolon.txt\"", true,
                                   "with \"quote\"; and semicolon.txt"},
                    DispositionRow{"attachment; filename=\"unclosed.bin", true, "unclosed.bin"},
                    DispositionRow{"attachment; filename=", true, ""},
                    // filename* wins wherever it stands.
                    DispositionRow{"attachment; filename*=UTF-8''%E4%B8%AD%E6%96%87.bin; filename=\"fallback.bin\"",
                                   true, "中文.bin"},
                    DispositionRow{"attachment; filename=\"fallback.bin\"; filename*=utf-8'zh'%E4%B8%AD.bin", true,
                                   "中.bin"},
                    DispositionRow{"attachment; filename*=iso-8859-1'en'%A3%20rates.txt", true, "£ rates.txt"},
                    // Undecodable or of an unknown charset: the plain name stands.
                    DispositionRow{"attachment; filename*=UTF-8''%FF%FE.bin; filename=plain.bin", true, "plain.bin"},
                    DispositionRow{"attachment; filename*=koi8-r''%C1.bin; filename=plain.bin", true, "plain.bin"},
                    DispositionRow{"attachment; filename*=no-quotes.bin", true, ""},
                    // Raw UTF-8 in a plain name, as servers send it; else its bytes as ISO-8859-1.
                    DispositionRow{"attachment; filename=\"\xE4\xB8\xAD.bin\"", true, "中.bin"},
                    DispositionRow{"attachment; filename=\"caf\xE9.txt\"", true, "café.txt"},
                    // Paths and all are reported as sent; the saver makes them safe.
                    DispositionRow{"attachment; filename=\"../../x.bin\"", true, "../../x.bin"},
                    DispositionRow{"attachment; filename=a.bin; filename=b.bin", true, "a.bin"},
                    // No type, only a name: still a file to save.
                    DispositionRow{"filename=\"lone.bin\"", true, "lone.bin"}));

} // namespace

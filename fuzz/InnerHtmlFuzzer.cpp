// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes through everything a loaded page goes through: charset sniffing,
// parsing, body serialization and the form model, values and submissions included.
#include "platform/web/HtmlDocument.h"
#include "platform/web/PageDecoder.h"

#include "common/QuorvelError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto document = HtmlDocument::parse(PageDecoder::toUtf8(bytes, QByteArray()),
                                              QUrl(QStringLiteral("http://fuzz.test/dir/page.html")));
    try {
        (void)document->bodyInnerHtml();
    } catch (const QuorvelError &) {
    }
    (void)document->frameSources();
    int navigations = 0;
    document->setNavigator([&navigations](const PageRequest &) { ++navigations; });
    for (int i = 0; i < document->formCount(); ++i) {
        HtmlForm &form = document->form(i);
        for (int j = 0; j < form.length(); ++j) {
            HtmlFormControl &control = form.item(j);
            try {
                (void)control.value();
            } catch (const QuorvelError &) {
            }
            (void)control.type();
            control.click();
        }
    }
    return 0;
}

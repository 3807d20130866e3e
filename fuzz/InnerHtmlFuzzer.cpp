// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes through everything a loaded page goes through: charset sniffing,
// parsing, body serialization and the form model, values and submissions included.
#include "platform/web/HtmlDocument.h"
#include "platform/web/PageDecoder.h"

#include "common/QuorvelError.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The engine's bounds, tightened to the fuzzer's memory: a formatting storm of a few KiB
    // would otherwise take gigabytes, and a deep nest minutes.
    ParseBudget budget;
    budget.maxBytes = std::size_t(64) * 1024 * 1024;
    budget.maxCpuTime = std::chrono::seconds(2);
    const QUrl url(QStringLiteral("http://fuzz.test/dir/page.html"));
    auto parsed = HtmlDocument::parseWithin(PageDecoder::toUtf8(bytes, QByteArray()), url, budget);
    const auto document = parsed.document ? parsed.document
                                          : HtmlDocument::failurePage(url, HtmlDocument::refusalText(parsed.refusal, budget),
                                                                      FailureCause::permanent(QStringLiteral("fuzz")));
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

// SPDX-License-Identifier: MIT
// Arbitrary Content-Disposition values through the parser and the name a transfer would save
// under. A crash, a sanitizer report, or a saved name that could leave the folder is a finding.
#include "automation/ContentDisposition.h"
#include "flow/TargetPath.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ContentDisposition parsed = ContentDisposition::parse(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString name = fileNameFromOffer(parsed.fileName, QStringLiteral("http://host/get/file.bin"));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('\\')))
        std::abort();
    return 0;
}

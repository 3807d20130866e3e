// SPDX-License-Identifier: MIT
#include "tools/page/PageReport.h"

#include "automation/PageTextBuffer.h"
#include "automation/ShownText.h"
#include "common/QuorvelError.h"
#include "platform/web/FileAnswer.h"
#include "platform/web/HtmlDocument.h"
#include "tools/page/ScannerReport.h"

using namespace Qt::StringLiterals;

namespace {

QString heading(const QString &title)
{
    return u"== "_s + title + u" ==\n"_s;
}

QString valueText(const HtmlFormControl &control)
{
    try {
        return u'"' + control.value() + u'"';
    } catch (const QuorvelError &) {
        return QStringLiteral("(none)");
    }
}

} // namespace

QString PageReport::render(HtmlDocument &document)
{
    QString report = heading(QStringLiteral("Kind")) + u"page\n\n"_s;
    report += heading(QStringLiteral("Final URL")) + shownText(document.url()) + u"\n\n"_s;

    report += heading(QStringLiteral("Body innerHTML"));
    PageTextBuffer buffer;
    QString scanners;
    try {
        buffer.replaceText(document.bodyInnerHtml());
        report += QString(buffer.text()).replace(u"\r\n"_s, u"\n"_s) + u'\n';
        scanners = ScannerReport::describe(buffer.text()).join(u'\n');
    } catch (const QuorvelError &error) {
        report += u"(no body: "_s + error.message() + u")\n"_s;
        scanners = QStringLiteral("(no body to scan)");
    }
    report += u'\n' + heading(QStringLiteral("Forms")) + formsSection(document);
    report += u'\n' + heading(QStringLiteral("Scanners")) + scanners + u'\n';
    return report;
}

QString PageReport::renderFile(const FileAnswer &file, const QString &savedAs)
{
    const auto orNone = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("(none)") : u'"' + text + u'"';
    };
    return heading(QStringLiteral("Kind")) + u"file\n\n"_s + heading(QStringLiteral("Final URL")) + shownText(file.url)
        + u"\n\n"_s + heading(QStringLiteral("File")) + u"Content-Type: "_s
        + orNone(shownText(QString::fromUtf8(file.contentType))) + u"\nSuggested name: "_s
        + orNone(shownText(file.suggestedName)) + u"\nSaved as: "_s + orNone(shownText(savedAs)) + u'\n';
}

QString PageReport::formsSection(HtmlDocument &document)
{
    const int count = document.formCount();
    if (count == 0)
        return QStringLiteral("(no forms)\n");
    QString section;
    for (int i = 0; i < count; ++i) {
        HtmlForm &form = document.form(i);
        section += QStringLiteral("form %1: %2 element(s)\n").arg(i).arg(form.length());
        for (int j = 0; j < form.length(); ++j) {
            const HtmlFormControl &control = form.item(j);
            section += QStringLiteral("  %1: name \"%2\", type \"%3\", value %4")
                           .arg(j)
                           .arg(control.name(), control.type(), valueText(control));
            // What "press = text: ..." matches, where it is not the value shown above.
            if (control.tagName() == u"button")
                section += QStringLiteral(", text \"%1\"").arg(control.text());
            section += u'\n';
        }
    }
    return section;
}

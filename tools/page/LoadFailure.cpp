// SPDX-License-Identifier: MIT
#include "tools/page/LoadFailure.h"

#include "platform/web/HtmlDocument.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

std::optional<QString> LoadFailure::reasonOf(const HtmlDocument &document)
{
    static const QString heading = QStringLiteral("<h1>Quorvel: 无法打开页面</h1>");
    // A server's error page carries its status, and is still a page to read.
    const auto cause = document.loadFailure();
    if (!cause || cause->httpStatus != 0)
        return std::nullopt;
    const QString body = document.bodyInnerHtml();
    if (!body.startsWith(heading))
        return cause->reason;
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString reason = body.sliced(heading.size());
    reason.remove(tag);
    // innerHTML escapes only these three in text; &amp; goes last so that "&amp;lt;" stays "&lt;".
    reason.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&amp;"_s, u"&"_s);
    return reason.simplified();
}

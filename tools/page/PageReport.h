// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class HtmlDocument;

/**
 * A loaded page as the automation sees it, in headed sections: the final URL, the body as the
 * page text buffer holds it (printed with plain newlines), the forms with their elements, and
 * what each scanner finds. UI thread (the document's thread).
 */
class PageReport final
{
public:
    static QString render(HtmlDocument &document);

private:
    static QString formsSection(HtmlDocument &document);
};

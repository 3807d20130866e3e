// SPDX-License-Identifier: MIT
#pragma once

#include <gumbo.h>

#include <QByteArray>

/**
 * HTML fragment serialization, the algorithm behind innerHTML, so that the text the automation
 * reads is the text a browser would give it.
 * Thread contract: pure function over an immutable tree; any thread.
 */
class HtmlSerializer final
{
public:
    /**
     * The UTF-8 serialization of the element's children (its template contents for a template);
     * sizeHint is the expected length (the page's source serializes to about its own size).
     */
    static QByteArray innerHtml(const GumboNode &element, qsizetype sizeHint = 0);

private:
    static void appendStartTag(QByteArray &out, const GumboNode &element);
    static void appendEscaped(QByteArray &out, const char *text, bool inAttribute);
    static bool isVoid(const GumboNode &element);
    static bool keepsTextRaw(const GumboNode &parent);
};

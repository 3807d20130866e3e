// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class HtmlDocument;
struct FileAnswer;

/**
 * A loaded page as the automation sees it, in headed sections: its kind, the final URL, the body
 * as the page text buffer holds it (printed with plain newlines), the forms with their elements,
 * and what each scanner finds. Or, for an address that answered with a file, its kind, where the
 * file is and how it would be saved. UI thread (the document's thread).
 */
class PageReport final
{
public:
    static QString render(HtmlDocument &document);
    /** savedAs: the name a run would give the file, before any shortening for the file system. */
    static QString renderFile(const FileAnswer &file, const QString &savedAs);

private:
    static QString formsSection(HtmlDocument &document);
};

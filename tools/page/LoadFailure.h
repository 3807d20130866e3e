// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

class HtmlDocument;

/**
 * Tells the engine's own "could not open the page" document from a served page, and reads the
 * detailed reason from its text.
 * Thread contract: the document's thread.
 */
class LoadFailure final
{
public:
    /** The failure's reason as plain text, or nullopt for a page that loaded. */
    static std::optional<QString> reasonOf(const HtmlDocument &document);
};

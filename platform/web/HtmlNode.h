// SPDX-License-Identifier: MIT
#pragma once

#include <gumbo.h>

#include <QByteArray>
#include <QString>

#include <functional>

/**
 * Small readers over gumbo's tree, so that the rest of the engine never handles its C structs
 * directly. Thread contract: pure functions over an immutable tree; any thread.
 */
namespace HtmlNode {

/** True for an element (templates included). */
bool isElement(const GumboNode &node);
/** True for an HTML-namespace element with the given tag. */
bool isHtml(const GumboNode &node, GumboTag tag);
/** The element's qualified name as a browser serializes it: "div", "foreignObject", "my-tag". */
QByteArray qualifiedName(const GumboNode &node);
/** The attribute's value, or nullptr when the element has no such attribute. */
const char *attribute(const GumboNode &node, const char *name);
bool hasAttribute(const GumboNode &node, const char *name);
/** The attribute's value as UTF-16, empty when missing. */
QString attributeText(const GumboNode &node, const char *name);
/** The concatenated text of the node's descendant text nodes (DOM textContent). */
QString textContent(const GumboNode &node);
/** The element's children (an empty span for other nodes). */
const GumboVector &children(const GumboNode &node);
/** Calls visit on every element below root in document order, without recursing on the stack. */
void forEachElement(const GumboNode &root, const std::function<void(const GumboNode &)> &visit);

} // namespace HtmlNode

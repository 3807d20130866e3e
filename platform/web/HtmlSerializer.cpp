// SPDX-License-Identifier: MIT
#include "platform/web/HtmlSerializer.h"

#include "platform/web/HtmlNode.h"

#include <algorithm>
#include <array>
#include <vector>

QByteArray HtmlSerializer::innerHtml(const GumboNode &element, qsizetype sizeHint)
{
    QByteArray out;
    // Grown in steps, the text would for a moment be held twice over, beside the whole tree.
    out.reserve(sizeHint);
    // An explicit stack rather than recursion: a hostile page can nest elements deeply enough
    // to overflow a worker thread's stack.
    struct Frame {
        const GumboNode *node;
        unsigned int next;
    };
    std::vector<Frame> stack{{&element, 0}};
    while (!stack.empty()) {
        Frame &frame = stack.back();
        const GumboVector &kids = HtmlNode::children(*frame.node);
        if (frame.next >= kids.length) {
            if (stack.size() > 1)
                out.append("</").append(HtmlNode::qualifiedName(*frame.node)).append('>');
            stack.pop_back();
            continue;
        }
        const GumboNode &parent = *frame.node;
        const GumboNode &kid = *static_cast<const GumboNode *>(kids.data[frame.next++]);
        switch (kid.type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            appendStartTag(out, kid);
            if (!isVoid(kid))
                stack.push_back({&kid, 0});
            break;
        case GUMBO_NODE_COMMENT:
            out.append("<!--").append(kid.v.text.text).append("-->");
            break;
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
            if (keepsTextRaw(parent))
                out.append(kid.v.text.text);
            else
                appendEscaped(out, kid.v.text.text, false);
            break;
        case GUMBO_NODE_DOCUMENT:
            break;
        }
    }
    return out;
}

void HtmlSerializer::appendStartTag(QByteArray &out, const GumboNode &element)
{
    out.append('<').append(HtmlNode::qualifiedName(element));
    const GumboVector &attributes = element.v.element.attributes;
    for (unsigned int i = 0; i < attributes.length; ++i) {
        const auto &attribute = *static_cast<const GumboAttribute *>(attributes.data[i]);
        const QByteArray name(attribute.name);
        out.append(' ');
        switch (attribute.attr_namespace) {
        case GUMBO_ATTR_NAMESPACE_XLINK:
            out.append("xlink:");
            break;
        case GUMBO_ATTR_NAMESPACE_XML:
            out.append("xml:");
            break;
        case GUMBO_ATTR_NAMESPACE_XMLNS:
            if (name != "xmlns")
                out.append("xmlns:");
            break;
        case GUMBO_ATTR_NAMESPACE_NONE:
            break;
        }
        out.append(name).append("=\"");
        appendEscaped(out, attribute.value, true);
        out.append('"');
    }
    out.append('>');
}

void HtmlSerializer::appendEscaped(QByteArray &out, const char *text, bool inAttribute)
{
    // Current browsers escape < and > in attribute values as well, so that serialized markup
    // cannot be mistaken for a tag by a sloppy reader.
    for (const char *p = text; *p; ++p) {
        switch (*p) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append(inAttribute ? "&quot;" : "\"");
            break;
        case '\xC2':
            if (p[1] == '\xA0') {
                out.append("&nbsp;");
                ++p;
                break;
            }
            [[fallthrough]];
        default:
            out.append(*p);
        }
    }
}

bool HtmlSerializer::isVoid(const GumboNode &element)
{
    static constexpr std::array voidTags{GUMBO_TAG_AREA, GUMBO_TAG_BASE, GUMBO_TAG_BR, GUMBO_TAG_COL,
        GUMBO_TAG_EMBED, GUMBO_TAG_HR, GUMBO_TAG_IMG, GUMBO_TAG_INPUT, GUMBO_TAG_LINK, GUMBO_TAG_META,
        GUMBO_TAG_SOURCE, GUMBO_TAG_TRACK, GUMBO_TAG_WBR, GUMBO_TAG_BASEFONT, GUMBO_TAG_BGSOUND,
        GUMBO_TAG_FRAME, GUMBO_TAG_KEYGEN, GUMBO_TAG_PARAM};
    return element.v.element.tag_namespace == GUMBO_NAMESPACE_HTML
        && std::find(voidTags.begin(), voidTags.end(), element.v.element.tag) != voidTags.end();
}

bool HtmlSerializer::keepsTextRaw(const GumboNode &parent)
{
    // noscript counts because the browsers the pages are written for run scripts.
    static constexpr std::array rawTags{GUMBO_TAG_STYLE, GUMBO_TAG_SCRIPT, GUMBO_TAG_XMP, GUMBO_TAG_IFRAME,
        GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES, GUMBO_TAG_PLAINTEXT, GUMBO_TAG_NOSCRIPT};
    return parent.v.element.tag_namespace == GUMBO_NAMESPACE_HTML
        && std::find(rawTags.begin(), rawTags.end(), parent.v.element.tag) != rawTags.end();
}

// SPDX-License-Identifier: MIT
#include "platform/web/FormEndRepair.h"

#include "platform/web/GumboArena.h"

#include <cstring>

namespace {

GumboNode &child(const GumboVector &vector, unsigned int i)
{
    return *static_cast<GumboNode *>(vector.data[i]);
}

bool isText(const GumboNode &node)
{
    return node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE;
}

bool isWhitespace(QByteArrayView text)
{
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\f' && c != '\r')
            return false;
    }
    return true;
}

char *copied(GumboArena &arena, QByteArrayView text)
{
    auto *copy = static_cast<char *>(arena.allocateUnbounded(size_t(text.size()) + 1));
    std::memcpy(copy, text.data(), size_t(text.size()));
    copy[text.size()] = '\0';
    return copy;
}

// The first "</form" (any case) from from up to before, or -1.
qsizetype formEndTag(const QByteArray &source, qsizetype from, qsizetype before)
{
    const QByteArrayView text(source);
    for (qsizetype at = source.indexOf("</", from); at >= 0 && at + 6 <= before; at = source.indexOf("</", at + 2)) {
        if (text.sliced(at + 2, 4).compare("form", Qt::CaseInsensitive) == 0)
            return at;
    }
    return -1;
}

void append(GumboArena &arena, GumboNode &parent, GumboNode &node)
{
    GumboVector &kids = parent.v.element.children;
    if (kids.length == kids.capacity) {
        const unsigned int capacity = kids.capacity ? kids.capacity * 2 : 4;
        auto **data = static_cast<void **>(arena.allocateUnbounded(capacity * sizeof(void *)));
        if (kids.length)
            std::memcpy(data, kids.data, kids.length * sizeof(void *));
        kids.data = data;
        kids.capacity = capacity;
    }
    node.parent = &parent;
    node.index_within_parent = kids.length;
    kids.data[kids.length++] = &node;
}

void removeChild(GumboNode &parent, unsigned int index)
{
    GumboVector &kids = parent.v.element.children;
    for (unsigned int i = index; i + 1 < kids.length; ++i) {
        kids.data[i] = kids.data[i + 1];
        child(kids, i).index_within_parent = i;
    }
    --kids.length;
}

} // namespace

void FormEndRepair::apply(GumboNode &form, const QByteArray &source, GumboArena &arena)
{
    GumboNode *parent = form.parent;
    if (!parent || parent->type != GUMBO_NODE_ELEMENT)
        return;
    const unsigned int next = unsigned(form.index_within_parent) + 1;
    if (next >= parent->v.element.children.length)
        return;
    GumboNode &after = child(parent->v.element.children, next);
    if (!isText(after))
        return;
    // The text must span the form's own end tag, the first after its start: gumbo does not
    // record where that was, and a stray </form> later is no business of this form.
    const qsizetype textStart = qsizetype(after.v.text.start_pos.offset);
    const qsizetype textEnd = textStart + qsizetype(after.v.text.original_text.length);
    const qsizetype endTag = formEndTag(source, textStart, textEnd);
    if (endTag < 0 || formEndTag(source, qsizetype(form.v.element.start_pos.offset), textStart) >= 0)
        return;
    const QByteArray inside = decodedText(QByteArrayView(source).sliced(textStart, endTag - textStart));
    const QByteArrayView text(after.v.text.text);
    if (inside.isEmpty() || !text.startsWith(inside))
        return;

    auto *moved = static_cast<GumboNode *>(arena.allocateUnbounded(sizeof(GumboNode)));
    *moved = after;
    moved->type = isWhitespace(inside) ? GUMBO_NODE_WHITESPACE : GUMBO_NODE_TEXT;
    moved->v.text.text = copied(arena, inside);
    moved->v.text.original_text.length = size_t(endTag - textStart);
    append(arena, form, *moved);

    const QByteArrayView rest = text.sliced(inside.size());
    if (rest.isEmpty()) {
        removeChild(*parent, next);
        return;
    }
    after.v.text.text = copied(arena, rest);
    after.type = isWhitespace(rest) ? GUMBO_NODE_WHITESPACE : GUMBO_NODE_TEXT;
    after.v.text.start_pos.offset = unsigned(endTag);
    after.v.text.original_text.data = source.constData() + endTag;
    after.v.text.original_text.length -= size_t(endTag - textStart);
}

QByteArray FormEndRepair::decodedText(QByteArrayView sourceText)
{
    // Most often a line break, which reads as itself; anything else (entities, CR, NUL, stray
    // end tags the parser ignored) is read by gumbo the way it read the page.
    bool plain = true;
    for (char c : sourceText)
        plain = plain && c != '&' && c != '\r' && c != '\0' && c != '<';
    if (plain)
        return sourceText.toByteArray();
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    options.fragment_context = GUMBO_TAG_FORM;
    GumboOutput *output = gumbo_parse_with_options(&options, sourceText.data(), size_t(sourceText.size()));
    QByteArray text;
    const GumboVector &kids = output->root->v.element.children;
    for (unsigned int i = 0; i < kids.length; ++i) {
        const GumboNode &kid = child(kids, i);
        if (isText(kid))
            text.append(kid.v.text.text);
    }
    gumbo_destroy_output(&options, output);
    return text;
}

// SPDX-License-Identifier: MIT
#pragma once

#include <gumbo.h>

#include <QList>
#include <QString>

#include <optional>
#include <utility>

/**
 * An element's attributes, copied out of the tree when the element is read so that a selector
 * can still ask for them once the tree is freed. Names are lower case, as the parser gives them.
 * Thread contract: plain value; any thread.
 */
class ElementAttributes final
{
public:
    ElementAttributes() = default;
    explicit ElementAttributes(const GumboNode &node);

    /** The first attribute of that name, as a browser's getAttribute answers. */
    std::optional<QString> value(const QString &name) const;
    /** The characters of the page's text it keeps. */
    qsizetype textKept() const { return m_textKept; }

private:
    QList<std::pair<QString, QString>> m_attributes;
    qsizetype m_textKept = 0;
};

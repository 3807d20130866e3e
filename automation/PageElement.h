// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/** One listed element of a form (input, button, select, textarea, ...). */
class PageElement
{
public:
    virtual ~PageElement() = default;
    /** The element's current value; throws QuorvelError for an element that has no value. */
    virtual QString value() const = 0;
    /** The element's name attribute; empty without one. */
    virtual QString name() const { return {}; }
    /** The element's id attribute; empty without one. */
    virtual QString id() const { return {}; }
    /** A user's click: a submit control submits its form (a navigation begins); others do nothing. */
    virtual void click() = 0;
};

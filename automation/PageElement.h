// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <optional>

/** A name and value a submission sends in place of the form's own value of that name. */
struct FormField
{
    QString name;
    QString value;

    bool operator==(const FormField &) const = default;
};

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
    /** The element's tag name in lower case ("input", "button"...); empty when unknown. */
    virtual QString tagName() const { return {}; }
    /** The value of the element's attribute of that (lower-case) name; nullopt without one. */
    virtual std::optional<QString> attribute(const QString &) const { return std::nullopt; }
    /**
     * What a user reads on the control: a button's inner text with its runs of white space made
     * one space and its ends trimmed, an input button's value; empty for other controls.
     */
    virtual QString text() const { return {}; }
    /** A user's click: a submit control submits its form (a navigation begins); others do nothing. */
    virtual void click() = 0;
    /**
     * A click whose submission sends each field's value in place of the form's own under that
     * name, and adds those the form would not send as hidden inputs would be. Elements that
     * cannot set fields click as usual when fields is empty, and otherwise do nothing.
     */
    virtual void submitWith(const QList<FormField> &fields)
    {
        if (fields.isEmpty())
            click();
    }
};

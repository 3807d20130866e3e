// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageElement.h"
#include "layout/ControlSelector.h"
#include "layout/TextPattern.h"

#include <QList>

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

/** How a layout recognises one kind of page: a plain text, or a pattern whose first group is its number. */
struct PageRule
{
    QString text; // when pattern is null
    std::shared_ptr<const TextPattern> pattern;
};

/** The control a layout presses on the first page, chosen by one of its properties. */
struct PressRule
{
    enum class By { Value, Text, Name, Id, Selector };
    By by = By::Value;
    QString text; // the selector's text too, for what a reader is told
    std::optional<ControlSelector> selector; // when by is Selector

    /** The rule as a reader is told it, as in: text "Slow download". */
    QString described() const
    {
        const char *kind = by == By::Value ? "value"
            : by == By::Text               ? "text"
            : by == By::Name               ? "name"
            : by == By::Id                 ? "id"
                                           : "selector";
        return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(kind), text);
    }
};

/** Where a layout finds the file URL on the countdown page. */
struct FileRule
{
    enum class From {
        FormAction, // the action of the first form after `text`, or of the page's first form
        LinkText, // the href of the link whose text contains `text`
        Attribute, // the first value of the attribute named `text`
        Pattern, // the first group of `pattern`
    };
    From from = From::FormAction;
    QString text;
    std::shared_ptr<const TextPattern> pattern;
};

/** What a layout file says about the pages of the hosts it names. Plain value; any thread. */
struct HostLayout
{
    /** The file the layout came from, as it was named when read. */
    QString source;
    /** Host names in lower case; "*.example.net" names every subdomain of example.net. */
    QStringList hosts;
    std::optional<PageRule> missing;
    std::optional<PageRule> wait;
    int waitUnitSeconds = 60;
    std::optional<PageRule> countdown;
    /** The countdown a page does not state; else the countdown pattern's number. */
    std::optional<int> countdownSeconds;
    std::optional<PageRule> about;
    int aboutUnitSeconds = 60;
    std::optional<PressRule> press;
    /** Whether a walk may press again on the page the press led to (up to the flow's bound). */
    bool pressRepeats = false;
    /** What the press sends in place of the form's own values, in the file's order. */
    QList<FormField> fields;
    FileRule file;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class PageElement;
class PageForm;

/**
 * A small CSS selector over a page's form controls: one or two compounds of a tag name, "#id",
 * ".class" and "[attribute=value]", as in "form#dl input.slow" or "button[name=go]". The last
 * compound names the control; a first one, before a space, names the control's form. Matching
 * costs the selector's length for each control. Plain value; any thread.
 */
class ControlSelector final
{
public:
    static constexpr qsizetype maxLength = 200;

    /** The selector text means, or nullopt with the reason in reason. */
    static std::optional<ControlSelector> parse(const QString &text, QString &reason);

    bool matches(const PageForm &form, const PageElement &control) const;

private:
    struct Compound
    {
        QString tag; // lower case; empty for any
        QList<std::pair<QString, QString>> attributes; // [name=value], #id as [id=...]
        QStringList classes;
    };
    static std::optional<Compound> compound(const QString &text, QString &reason);
    static bool matches(const Compound &compound, const QString &tag,
                        const std::function<std::optional<QString>(const QString &)> &attribute);

    std::optional<Compound> m_form;
    Compound m_control;
};

// SPDX-License-Identifier: MIT
#include "layout/ControlSelector.h"

#include "automation/PageForm.h"

#include <QRegularExpression>

#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_';
}

// The name that starts at `at`, moving `at` past it; empty when none starts there.
QString nameAt(const QString &text, qsizetype &at)
{
    const qsizetype from = at;
    while (at < text.size() && isNameCharacter(text[at]))
        ++at;
    return text.sliced(from, at - from);
}

// The value of "[name=value]" that starts at `at`: quoted in " or ', or a bare name.
std::optional<QString> valueAt(const QString &text, qsizetype &at)
{
    if (at < text.size() && (text[at] == u'"' || text[at] == u'\'')) {
        const qsizetype end = text.indexOf(text[at], at + 1);
        if (end < 0)
            return std::nullopt;
        const QString value = text.sliced(at + 1, end - at - 1);
        at = end + 1;
        return value;
    }
    const QString value = nameAt(text, at);
    return value.isEmpty() ? std::nullopt : std::optional(value);
}

// The selector's parts, split at white space outside quotes.
QStringList partsOf(const QString &text)
{
    QStringList parts;
    QString part;
    QChar quote;
    for (const QChar c : text) {
        if (quote.isNull() && c.isSpace()) {
            if (!part.isEmpty())
                parts.append(std::exchange(part, QString()));
            continue;
        }
        if (c == quote)
            quote = QChar();
        else if (quote.isNull() && (c == u'"' || c == u'\''))
            quote = c;
        part += c;
    }
    if (!part.isEmpty())
        parts.append(part);
    return parts;
}

} // namespace

std::optional<ControlSelector> ControlSelector::parse(const QString &text, QString &reason)
{
    if (text.size() > maxLength) {
        reason = u"选择器超过 %1 个字符"_s.arg(maxLength);
        return std::nullopt;
    }
    const QStringList parts = partsOf(text);
    if (parts.isEmpty() || parts.size() > 2) {
        reason = u"选择器是一部分 (控件的), 或两部分: 表单的, 一个空格, 控件的"_s;
        return std::nullopt;
    }
    ControlSelector selector;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        std::optional<Compound> part = compound(parts[i], reason);
        if (!part)
            return std::nullopt;
        if (i + 1 < parts.size()) {
            if (!part->tag.isEmpty() && part->tag != u"form") {
                reason = u"两部分中的第一部分指控件所在的表单, 所以它的标签只能是 \"form\""_s;
                return std::nullopt;
            }
            selector.m_form = std::move(part);
        } else {
            selector.m_control = std::move(*part);
        }
    }
    return selector;
}

std::optional<ControlSelector::Compound> ControlSelector::compound(const QString &text, QString &reason)
{
    Compound part;
    qsizetype at = 0;
    part.tag = nameAt(text, at).toLower();
    bool understood = true;
    while (understood && at < text.size()) {
        const QChar mark = text[at++];
        if (mark == u'#' || mark == u'.') {
            const QString name = nameAt(text, at);
            understood = !name.isEmpty();
            if (mark == u'#')
                part.attributes.append({u"id"_s, name});
            else
                part.classes.append(name);
            continue;
        }
        const QString name = mark == u'[' ? nameAt(text, at).toLower() : QString();
        understood = !name.isEmpty() && at < text.size() && text[at++] == u'=';
        const std::optional<QString> value = understood ? valueAt(text, at) : std::nullopt;
        understood = value && at < text.size() && text[at++] == u']';
        if (understood)
            part.attributes.append({name, *value});
    }
    if (!understood || (part.tag.isEmpty() && part.attributes.isEmpty() && part.classes.isEmpty())) {
        reason = u"\"%1\" 不是依次连写的 tag, #id, .class 和 [attribute=value]"_s.arg(text);
        return std::nullopt;
    }
    return part;
}

bool ControlSelector::matches(const Compound &compound, const QString &tag,
                              const std::function<std::optional<QString>(const QString &)> &attribute)
{
    if (!compound.tag.isEmpty() && compound.tag != tag)
        return false;
    for (const auto &[name, value] : compound.attributes) {
        if (attribute(name) != value)
            return false;
    }
    if (compound.classes.isEmpty())
        return true;
    static const QRegularExpression space(u"[\\t\\n\\f\\r ]+"_s);
    const QStringList classes = attribute(u"class"_s).value_or(QString()).split(space, Qt::SkipEmptyParts);
    for (const QString &name : compound.classes) {
        if (!classes.contains(name))
            return false;
    }
    return true;
}

bool ControlSelector::matches(const PageForm &form, const PageElement &control) const
{
    if (m_form && !matches(*m_form, u"form"_s, [&form](const QString &name) { return form.attribute(name); }))
        return false;
    return matches(m_control, control.tagName(), [&control](const QString &name) { return control.attribute(name); });
}

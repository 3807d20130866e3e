// SPDX-License-Identifier: MIT
#include "layout/LayoutPageReader.h"

#include "automation/AttributeText.h"
#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageBrowser.h"
#include "automation/PageScanners.h"
#include "automation/PageTextBuffer.h"
#include "automation/TextConversions.h"
#include "common/QuorvelError.h"
#include "layout/HostLayout.h"

#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype maxNumberDigits = 9;
// A wait or countdown of a day or more fails the time conversion, as the built-in reading's do;
// held at a day, a larger one cannot wrap round to a short time on the way.
constexpr std::int64_t aDay = 24 * 3600;

// The value of the attribute name="..." in the tag that starts at tagStart; empty without one.
QString attributeInTag(const QString &text, qsizetype tagStart, const QString &name)
{
    const qsizetype tagEnd = text.indexOf(u'>', tagStart);
    const QString opening = u" "_s + name + u"=\""_s;
    const qsizetype at = text.indexOf(opening, tagStart);
    if (at < 0 || (tagEnd >= 0 && at > tagEnd))
        return {};
    const qsizetype from = at + opening.size();
    const qsizetype to = text.indexOf(u'"', from);
    return to < 0 ? QString() : text.sliced(from, to - from);
}

QString describe(const PageRule &rule)
{
    return rule.pattern ? u"它的模式"_s : u"\"%1\""_s.arg(rule.text);
}

} // namespace

LayoutPageReader::LayoutPageReader(const PageTextBuffer &buffer, MainUnitState &state, const Clock &clock,
                                   PageBrowser &browser)
    : m_buffer(buffer)
    , m_state(state)
    , m_clock(clock)
    , m_browser(browser)
{
}

QString LayoutPageReader::unread() const
{
    return m_buffer.text().sliced(std::min(m_buffer.text().size(), m_buffer.selStart() + m_buffer.selLength()));
}

bool LayoutPageReader::occurs(const PageRule &rule) const
{
    return rule.pattern ? rule.pattern->occursIn(unread()) : unread().contains(rule.text);
}

PageAction LayoutPageReader::nothing(const QString &why)
{
    m_note = why;
    m_state.MarkerFound = 0;
    return PageAction::None;
}

PageAction LayoutPageReader::findMissing()
{
    if (!m_layout->missing)
        return nothing(u"missing: 布局没有 \"missing\" 规则"_s);
    if (!occurs(*m_layout->missing))
        return nothing(u"missing: 页面上没有 %1"_s.arg(describe(*m_layout->missing)));
    m_note = u"missing: 找到 %1, 文件已不存在"_s.arg(describe(*m_layout->missing));
    return PageAction::DeleteURLError;
}

std::optional<std::int64_t> LayoutPageReader::number(const PageRule &rule)
{
    const std::optional<QString> group = rule.pattern->firstGroupIn(unread());
    if (!group) {
        m_note = u"页面上没有它的模式"_s;
        return std::nullopt;
    }
    const QString digits = group->trimmed();
    bool ok = digits.size() <= maxNumberDigits;
    const std::int64_t value = ok ? digits.toLongLong(&ok) : 0;
    if (!ok || value < 0 || digits.startsWith(u'+')) {
        m_note = u"它的组取到 \"%1\", 不是整数"_s.arg(group->left(40));
        return std::nullopt;
    }
    return value;
}

PageAction LayoutPageReader::retryWait(const std::optional<PageRule> &rule, int unitSeconds, const char *key)
{
    const QString name = QString::fromLatin1(key);
    if (!rule)
        return nothing(u"%1: 布局没有 \"%1\" 规则"_s.arg(name));
    const std::optional<std::int64_t> count = number(*rule);
    if (!count)
        return nothing(name + u": "_s + m_note);
    const std::int64_t seconds = std::min(*count * unitSeconds, aDay);
    m_state.WaitText = FormatSecsToHMS(static_cast<std::int32_t>(seconds));
    m_note = u"%1: 等待 %2 秒"_s.arg(name).arg(seconds);
    PageScanners::startWait(m_state, m_clock, m_state.WaitText);
    return PageAction::StartRetryWait;
}

PageAction LayoutPageReader::findWait()
{
    return retryWait(m_layout->wait, m_layout->waitUnitSeconds, "wait");
}

PageAction LayoutPageReader::findAbout()
{
    return retryWait(m_layout->about, m_layout->aboutUnitSeconds, "about");
}

PageAction LayoutPageReader::findCountdown()
{
    std::int64_t seconds = m_layout->countdownSeconds.value_or(0);
    if (const auto &rule = m_layout->countdown) {
        if (!m_layout->countdownSeconds) {
            const std::optional<std::int64_t> count = number(*rule);
            if (!count)
                return nothing(u"countdown: "_s + m_note);
            seconds = *count;
        } else if (!occurs(*rule)) {
            return nothing(u"countdown: 页面上没有 %1"_s.arg(describe(*rule)));
        }
    }
    const std::optional<QString> url = fileUrl();
    if (!url)
        return nothing(u"countdown: "_s + m_note);
    m_state.FinalUrl = *url;
    m_state.FinalFileName = url->sliced(url->lastIndexOf(u'/') + 1);
    m_state.CountdownText = FormatSecsToHMS(static_cast<std::int32_t>(std::min(seconds, aDay)));
    m_note = u"countdown: %1 秒, 然后取文件 %2"_s.arg(seconds).arg(*url);
    PageScanners::startWait(m_state, m_clock, m_state.CountdownText);
    return PageAction::StartCountdown;
}

QString LayoutPageReader::fileText(const FileRule &rule, const QString &text) const
{
    switch (rule.from) {
    case FileRule::From::FormAction: {
        const qsizetype after = rule.text.isEmpty() ? 0 : text.indexOf(rule.text);
        const qsizetype form = after < 0 ? -1 : text.indexOf(u"<form"_s, after);
        return form < 0 ? QString() : attributeInTag(text, form, u"action"_s);
    }
    case FileRule::From::LinkText: {
        const qsizetype at = text.indexOf(rule.text);
        const qsizetype link = at < 0 ? -1 : text.lastIndexOf(u"<a "_s, at);
        // The text must be inside that link, not after its end.
        if (link < 0 || text.indexOf(u"</a>"_s, link) < at)
            return {};
        return attributeInTag(text, link, u"href"_s);
    }
    case FileRule::From::Attribute: {
        const qsizetype at = text.indexOf(u" "_s + rule.text + u"=\""_s);
        return at < 0 ? QString() : attributeInTag(text, at, rule.text);
    }
    case FileRule::From::Pattern:
        return rule.pattern->firstGroupIn(text).value_or(QString());
    }
    return {};
}

std::optional<QString> LayoutPageReader::fileUrl()
{
    const QString found = attributeText(fileText(m_layout->file, unread())).trimmed();
    if (found.isEmpty()) {
        m_note = u"\"file\" 规则在页面上找不到地址"_s;
        return std::nullopt;
    }
    const QUrl url = QUrl(pageAddress()).resolved(QUrl(found));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        m_note = u"文件地址 \"%1\" 不是 http 或 https 地址"_s.arg(found.left(200));
        return std::nullopt;
    }
    return url.toString(QUrl::FullyEncoded);
}

QString LayoutPageReader::pageAddress() const
{
    try {
        return m_browser.document()->url();
    } catch (const QuorvelError &) {
        return m_state.PageUrl;
    }
}

bool LayoutPageReader::press(PageBrowser &browser, int pressesSoFar)
{
    // Held while the click runs: the click may replace the browser's document.
    const std::shared_ptr<PageDocument> document = browser.document();
    PageElement *element = control(*document, pressesSoFar);
    if (!element)
        return false;
    element->submitWith(m_layout->fields);
    return true;
}

PageElement *LayoutPageReader::control(PageDocument &document, int pressesSoFar)
{
    if (!m_layout->press) {
        m_note = u"press: 布局没有 \"press\" 规则"_s;
        return nullptr;
    }
    if (pressesSoFar > 0 && !m_layout->pressRepeats) {
        m_note = u"press: 已经按过一次, 而布局没有写 \"press-repeats = yes\""_s;
        return nullptr;
    }
    const PressRule &rule = *m_layout->press;
    const int formCount = document.formCount();
    for (int i = 0; i < formCount; ++i) {
        PageForm &form = document.form(i);
        const int elementCount = form.length();
        for (int j = 0; j < elementCount; ++j) {
            PageElement &element = form.item(j);
            if (pressed(rule, form, element)) {
                m_note = u"press: 按下 %1 的控件 (表单 %2, 元素 %3)"_s.arg(rule.described()).arg(i).arg(j);
                if (!m_layout->fields.isEmpty())
                    m_note += u", 并在它的表单上设置 %1 个字段"_s.arg(m_layout->fields.size());
                return &element;
            }
        }
    }
    m_note = u"press: 页面上没有 %1 的控件"_s.arg(rule.described());
    return nullptr;
}

bool LayoutPageReader::pressed(const PressRule &rule, const PageForm &form, const PageElement &element)
{
    try {
        switch (rule.by) {
        case PressRule::By::Value:
            return element.value() == rule.text;
        case PressRule::By::Text:
            return element.text() == rule.text;
        case PressRule::By::Name:
            return element.name() == rule.text;
        case PressRule::By::Id:
            return element.id() == rule.text;
        case PressRule::By::Selector:
            return rule.selector->matches(form, element);
        }
    } catch (const QuorvelError &) {
        // an element without a value
    }
    return false;
}

// SPDX-License-Identifier: MIT
#include "tools/page/LayoutReport.h"

#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageBrowser.h"
#include "automation/PageTextBuffer.h"
#include "common/QuorvelError.h"
#include "layout/HostLayout.h"
#include "layout/HostLayouts.h"
#include "layout/LayoutPageReader.h"

#include <QUrl>

#include <functional>

using namespace Qt::StringLiterals;

QString LayoutReport::summary(const HostLayout &layout)
{
    QStringList rules;
    const std::pair<const char *, bool> present[] = {
        {"missing", layout.missing.has_value()},
        {"wait", layout.wait.has_value()},
        {"countdown", layout.countdown.has_value() || layout.countdownSeconds.has_value()},
        {"about", layout.about.has_value()},
        {"press", layout.press.has_value()},
        {"file", true}};
    for (const auto &[name, given] : present) {
        if (given)
            rules.append(QString::fromLatin1(name));
    }
    QString summary = u"%1: 主机 %2; 规则 %3\n"_s.arg(layout.source, layout.hosts.join(u", "_s), rules.join(u", "_s));
    if (layout.press)
        summary += u"  press: 按下 "_s + layout.press->described() + u" 的第一个控件\n"_s;
    for (const FormField &field : layout.fields)
        summary += u"  field: 按下时发送 %1 = \"%2\"\n"_s.arg(field.name, field.value);
    return summary;
}

QString LayoutReport::render(const HostLayout &layout, PageBrowser &browser)
{
    const std::shared_ptr<PageDocument> document = browser.document();
    QString report = u"== Layout ==\n"_s + summary(layout);
    HostLayouts only;
    only.add(layout);
    if (!only.forUrl(document->url()))
        report += u"(布局没有列出页面的主机 \"%1\": 运行时不会用这个布局读它)\n"_s.arg(QUrl(document->url()).host());

    PageTextBuffer buffer;
    try {
        buffer.replaceText(document->bodyInnerHtml());
    } catch (const QuorvelError &error) {
        return report + u"(没有正文: "_s + error.message() + u")\n"_s;
    }
    MainUnitState state;
    state.PageUrl = document->url();
    const SystemClock clock;
    LayoutPageReader reader(buffer, state, clock, browser);
    reader.use(layout);

    // The flow's order: the first step that acts decides what the page is.
    QString kind;
    const std::pair<const char *, std::function<bool()>> steps[] = {
        {"文件不存在 (missing)", [&] { return reader.findMissing() == PageAction::DeleteURLError; }},
        {"等待 (wait)", [&] { return reader.findWait() == PageAction::StartRetryWait; }},
        {"倒计时 (countdown)", [&] { return reader.findCountdown() == PageAction::StartCountdown; }},
        {"稍后重试 (about)", [&] { return reader.findAbout() == PageAction::StartRetryWait; }},
        {"第一页 (press)", [&] { return reader.control(*document, 0) != nullptr; }},
    };
    for (const auto &[name, step] : steps) {
        bool acts = false;
        try {
            acts = step();
        } catch (const QuorvelError &error) {
            report += u"  (读取失败: "_s + error.message() + u")\n"_s;
        }
        report += u"  "_s + reader.note() + u'\n';
        if (acts && kind.isEmpty())
            kind = QString::fromUtf8(name);
    }
    report += u"页面类型: "_s + (kind.isEmpty() ? u"无: 流程会把页面当作无法识别"_s : kind) + u'\n';
    return report;
}

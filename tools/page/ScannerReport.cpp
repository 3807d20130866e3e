// SPDX-License-Identifier: MIT
#include "tools/page/ScannerReport.h"

#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageScanners.h"
#include "automation/PageTextBuffer.h"
#include "automation/ShownText.h"
#include "common/QuorvelError.h"

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', u"\\\\"_s).replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s).replace(u'"', u"\\\""_s);
    // Line breaks as escapes; what else could steer the terminal, and a password, as shown anywhere.
    return u'"' + shownText(escaped) + u'"';
}

QString actionText(PageAction action)
{
    switch (action) {
    case PageAction::None: return QStringLiteral("nothing to do");
    case PageAction::DeleteURLError: return QStringLiteral("drop the URL (DeleteURLError)");
    case PageAction::StartRetryWait: return QStringLiteral("retry wait on Timer2");
    case PageAction::StartCountdown: return QStringLiteral("countdown on Timer1");
    }
    return {};
}

QString seconds(double days)
{
    return QString::number(qRound64(days * 86400.0));
}

class ScannerRun final
{
public:
    explicit ScannerRun(const QString &bodyHtml) { m_buffer.replaceText(bodyHtml); }

    // scan answers nullopt for FindFinalURL, which leaves its decisions to FindStill.
    QString line(const QString &name, const QString &marker,
                 const std::function<std::optional<PageAction>(PageScanners &)> &scan)
    {
        const qsizetype position = m_scanners.markerPosition(marker);
        if (position < 0)
            return name + u": marker absent"_s;
        QString line = name + u": marker at character "_s + QString::number(position + 1);
        try {
            const std::optional<PageAction> action = scan(m_scanners);
            line += u"; "_s + details();
            if (action)
                line += u"; "_s + actionText(*action);
            if (action == PageAction::StartRetryWait || action == PageAction::StartCountdown)
                line += u" for "_s + seconds(m_state.WaitDuration) + u" s"_s;
        } catch (const QuorvelError &error) {
            line += u"; "_s + details() + u"; conversion error: "_s + error.message();
        }
        return line;
    }

private:
    QString details() const
    {
        return u"slice "_s + quoted(m_scanners.lastSlice()) + u", WaitText "_s + quoted(m_state.WaitText)
               + u", WaitNumber "_s + quoted(m_state.WaitNumber)
               + u", CountdownText "_s + quoted(m_state.CountdownText) + u", FinalUrl "_s + quoted(m_state.FinalUrl)
               + u", FinalFileName "_s + quoted(m_state.FinalFileName);
    }

    PageTextBuffer m_buffer;
    MainUnitState m_state;
    SystemClock m_clock;
    PageScanners m_scanners{m_buffer, m_state, m_clock};
};

} // namespace

QStringList ScannerReport::describe(const QString &bodyHtml)
{
    using S = PageScanners;
    return {
        ScannerRun(bodyHtml).line(QStringLiteral("FindError"), S::errorMarker, &S::FindError),
        ScannerRun(bodyHtml).line(QStringLiteral("FindWait"), S::waitMarker, &S::FindWait),
        ScannerRun(bodyHtml).line(QStringLiteral("FindStill"), S::stillMarker, &S::FindStill),
        ScannerRun(bodyHtml).line(QStringLiteral("FindAbout"), S::aboutMarker, &S::FindAbout),
        ScannerRun(bodyHtml).line(QStringLiteral("FindFinalURL"), S::finalUrlMarker, [](S &s) {
            s.FindFinalURL();
            return std::optional<PageAction>();
        }),
    };
}

// SPDX-License-Identifier: MIT
#include "batch/ConsoleView.h"

#include "automation/ShownText.h"

#include <QTimer>

namespace {

// Every line reaches a terminal: a URL, a file name or a server's reason in it must neither
// steer the terminal nor show a password. The line breaks of a text of several lines stay.
QString shownLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = shownText(line);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ConsoleView::ConsoleView(QTextStream &out, QTextStream &err, bool liveLine, QString saveFolder,
                         QObject *parent)
    : QObject(parent), m_out(out), m_err(err), m_liveLine(liveLine), m_saveFolder(std::move(saveFolder))
{
}

void ConsoleView::setStatusText(int panel, const QString &text)
{
    m_status.at(std::size_t(panel)) = text;
    scheduleRender();
}

void ConsoleView::setField(Field field, const QString &text)
{
    m_fields[field] = text;
    if (field == Field::Completed && text.isEmpty())
        m_speedClock.invalidate();
    scheduleRender();
}

void ConsoleView::showError(const QString &message)
{
    clearLiveLine();
    m_err << QStringLiteral("错误: ") << shownLines(message) << Qt::endl;
}

void ConsoleView::say(const QString &line)
{
    clearLiveLine();
    m_out << shownLines(line) << Qt::endl;
}

void ConsoleView::transferProgressed(std::uint32_t receivedKiB)
{
    if (!m_speedClock.isValid()) {
        m_speedClock.start();
        m_speedBaseKiB = receivedKiB;
        m_kibPerSecond = 0.0;
        return;
    }
    const qint64 ms = m_speedClock.elapsed();
    if (ms > 0 && receivedKiB >= m_speedBaseKiB)
        m_kibPerSecond = (receivedKiB - m_speedBaseKiB) * 1000.0 / double(ms);
}

// Several panels change in one step of the flow; show the step once, after all of them.
void ConsoleView::scheduleRender()
{
    if (m_renderPending)
        return;
    m_renderPending = true;
    QTimer::singleShot(0, this, &ConsoleView::render);
}

void ConsoleView::render()
{
    m_renderPending = false;
    const QString state = m_status[0].trimmed();
    if (!state.isEmpty() && state + m_status[2] != m_lastState) {
        QString line = state;
        for (const QString &extra : {m_status[1], m_status[2]}) {
            if (!extra.trimmed().isEmpty())
                line += QLatin1Char(' ') + extra.trimmed();
        }
        say(line);
    }
    m_lastState = state + m_status[2];
    if (!m_liveLine || m_fields.value(Field::Completed).isEmpty())
        return;
    const QString live = QStringLiteral("%1 / %2  %3  已用 %4  估计 %5  %6 KiB/s")
                             .arg(m_fields.value(Field::Completed), m_fields.value(Field::Size, QStringLiteral("?")),
                                  m_fields.value(Field::Percent), m_fields.value(Field::Elapsed),
                                  m_fields.value(Field::Estimate))
                             .arg(m_kibPerSecond, 0, 'f', 0);
    m_out << QStringLiteral("\r\x1b[K") << live << Qt::flush;
    m_liveLineShown = true;
}

void ConsoleView::clearLiveLine()
{
    if (!m_liveLineShown)
        return;
    m_out << QStringLiteral("\r\x1b[K") << Qt::flush;
    m_liveLineShown = false;
}

// SPDX-License-Identifier: MIT
#include "automation/PageTextBuffer.h"

#include <utility>

void PageTextBuffer::setOnChange(std::function<void()> handler)
{
    m_onChange = std::move(handler);
}

void PageTextBuffer::setTextObserver(std::function<void(const QString &)> observer)
{
    m_textObserver = std::move(observer);
}

void PageTextBuffer::replaceText(const QString &text)
{
    QString normalised = withCrLf(text);
    if (normalised == m_text)
        return;
    store(std::move(normalised), 0);
    if (m_onChange)
        m_onChange();
}

void PageTextBuffer::clear()
{
    store(QString(), 0);
}

void PageTextBuffer::appendLine(const QString &line)
{
    QString text = m_text;
    if (!text.isEmpty() && !text.endsWith(u"\r\n"))
        text += u"\r\n";
    text += withCrLf(line);
    const qsizetype end = text.size();
    store(std::move(text), end);
    if (m_onChange)
        m_onChange();
}

QString PageTextBuffer::withCrLf(const QString &text)
{
    // Copies whole runs between line breaks: pages run to megabytes, and most already have one
    // kind of break throughout.
    const QStringView view(text);
    QString result;
    qsizetype runStart = 0;
    const qsizetype size = view.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = view[i];
        if (c == u'\r' && i + 1 < size && view[i + 1] == u'\n') {
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            if (result.isEmpty())
                result.reserve(size + size / 16);
            result += view.sliced(runStart, i - runStart);
            result += u"\r\n";
            runStart = i + 1;
        }
    }
    if (runStart == 0)
        return text;
    result += view.sliced(runStart);
    return result;
}

void PageTextBuffer::store(QString text, qsizetype caret)
{
    m_text = std::move(text);
    m_selStart = caret;
    m_selLength = 0;
    if (m_textObserver)
        m_textObserver(m_text);
}

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
    // Pages run to megabytes: count first, so that the result is allocated once and a text
    // that already has CR LF throughout is shared rather than copied.
    const QChar *source = text.constData();
    const qsizetype size = text.size();
    const auto isCrLf = [&](qsizetype i) { return source[i] == u'\r' && i + 1 < size && source[i + 1] == u'\n'; };
    qsizetype loneBreaks = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (isCrLf(i))
            ++i;
        else if (source[i] == u'\r' || source[i] == u'\n')
            ++loneBreaks;
    }
    if (loneBreaks == 0)
        return text;
    QString result(size + loneBreaks, Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < size; ++i) {
        if (source[i] == u'\r' || source[i] == u'\n') {
            if (isCrLf(i))
                ++i;
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = source[i];
        }
    }
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

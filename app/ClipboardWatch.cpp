// SPDX-License-Identifier: MIT
#include "app/ClipboardWatch.h"

#include "queue/LinkIntake.h"

#include <QClipboard>
#include <QMimeData>

ClipboardWatch::ClipboardWatch(QClipboard &clipboard, QObject *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
{
    connect(&m_clipboard, &QClipboard::dataChanged, this, &ClipboardWatch::clipboardChanged);
}

void ClipboardWatch::setWatching(bool watching)
{
    if (watching && !m_watching)
        m_lastText = clipboardText();
    m_watching = watching;
}

void ClipboardWatch::clipboardChanged()
{
    if (!m_watching)
        return;
    const QString text = clipboardText();
    if (text == m_lastText)
        return;
    m_lastText = text;
    LinkIntake intake;
    intake.addText(text);
    const LinkIntake::Result &found = intake.result();
    if (found.urls.size() == 1 && found.urls.constFirst() == text)
        emit urlCopied(text);
}

QString ClipboardWatch::clipboardText() const
{
    const QMimeData *data = m_clipboard.mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText())
        return {};
    return data->text().left(maxChars).trimmed();
}

// SPDX-License-Identifier: MIT
#include "app/ClipboardWatch.h"

#include "platform/clipboard/ClipboardReader.h"
#include "queue/LinkIntake.h"

#include <QClipboard>

#include <utility>

ClipboardWatch::ClipboardWatch(QClipboard &clipboard, ClipboardReader &reader, QObject *parent)
    : QObject(parent)
    , m_reader(reader)
{
    connect(&clipboard, &QClipboard::dataChanged, this, &ClipboardWatch::clipboardChanged);
    connect(&m_reader, &ClipboardReader::textRead, this, &ClipboardWatch::textRead);
}

void ClipboardWatch::setWatching(bool watching)
{
    const bool starting = watching && !m_watching;
    m_watching = watching;
    if (starting) {
        m_readingFirst = true;
        m_reader.read(maxChars);
    }
}

void ClipboardWatch::clipboardChanged()
{
    if (!m_watching)
        return;
    m_readingFirst = false;
    m_reader.read(maxChars);
}

void ClipboardWatch::textRead(const QString &read, bool cutShort)
{
    if (!m_watching)
        return;
    const QString text = read.trimmed();
    const bool first = std::exchange(m_readingFirst, false);
    if (text == m_lastText)
        return;
    m_lastText = text;
    // No single URL is that long.
    if (first || cutShort)
        return;
    LinkIntake intake;
    intake.addText(text);
    const LinkIntake::Result &found = intake.result();
    if (found.urls.size() == 1 && found.urls.constFirst() == text)
        emit urlCopied(text);
}

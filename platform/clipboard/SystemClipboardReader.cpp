// SPDX-License-Identifier: MIT
#include "platform/clipboard/SystemClipboardReader.h"

#include "platform/clipboard/QtClipboardReader.h"
#include "platform/clipboard/XcbClipboardReader.h"

#include <QGuiApplication>

std::unique_ptr<ClipboardReader> systemClipboardReader(QClipboard &clipboard)
{
    // Qt's X11 clipboard fetches a whole text on the UI thread before it answers.
    if (QGuiApplication::platformName() == u"xcb")
        return std::make_unique<XcbClipboardReader>(qgetenv("DISPLAY"));
    return std::make_unique<QtClipboardReader>(clipboard);
}

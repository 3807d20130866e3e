// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

class PageBrowser;
class PageTextBuffer;

/**
 * The automation's contact with page content: copies the loaded page's body into the page text
 * buffer (whose change handler runs the dispatch) and presses form elements by value.
 * Thread contract: UI thread only.
 */
class BrowserPageAccess final
{
public:
    /**
     * processPendingEvents runs before each page read, as the window's message loop did; the
     * default processes the Qt events waiting on this thread. Tests pass their own.
     */
    BrowserPageAccess(PageBrowser &browser, PageTextBuffer &buffer,
                      std::function<void()> processPendingEvents = defaultEventPump());

    /**
     * Reads the body HTML of the browser's document into the buffer. Any error on the way (no
     * document, no body, an error thrown by the dispatch) appends "No Web Document Body HTML"
     * instead, which runs the dispatch once more; errors of that second dispatch propagate.
     */
    void BrowserInfo();

    /**
     * Clicks every element of every form, in document order, whose value equals value exactly;
     * true when it clicked at least one. An error on one element ends the whole search with the
     * result so far; errors in reaching the document, its forms or a form's length propagate.
     */
    static bool FillForm(PageBrowser &browser, const QString &value);

    static std::function<void()> defaultEventPump();

private:
    PageBrowser &m_browser;
    PageTextBuffer &m_buffer;
    std::function<void()> m_processPendingEvents;
};

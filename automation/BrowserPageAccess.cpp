// SPDX-License-Identifier: MIT
#include "automation/BrowserPageAccess.h"

#include "automation/PageBrowser.h"
#include "automation/PageTextBuffer.h"

#include <QCoreApplication>

#include <exception>
#include <utility>

BrowserPageAccess::BrowserPageAccess(PageBrowser &browser, PageTextBuffer &buffer,
                                     std::function<void()> processPendingEvents)
    : m_browser(browser), m_buffer(buffer), m_processPendingEvents(std::move(processPendingEvents))
{
}

std::function<void()> BrowserPageAccess::defaultEventPump()
{
    return [] { QCoreApplication::processEvents(); };
}

void BrowserPageAccess::BrowserInfo()
{
    if (m_processPendingEvents)
        m_processPendingEvents();
    try {
        // The document is let go before the dispatch runs: the dispatch may navigate away.
        const QString html = m_browser.document()->bodyInnerHtml();
        m_buffer.replaceText(html);
    } catch (const std::exception &) {
        m_buffer.appendLine(QStringLiteral("No Web Document Body HTML"));
    }
}

bool BrowserPageAccess::FillForm(PageBrowser &browser, const QString &value)
{
    bool clicked = false;
    if (browser.document()->formTagCount() == 0)
        return clicked;
    const int formCount = browser.document()->formCount();
    for (int i = 0; i < formCount; ++i) {
        // Fetched afresh for every form, as a click may already have replaced the document; the
        // held pointer keeps this form alive while its elements are clicked.
        const std::shared_ptr<PageDocument> document = browser.document();
        PageForm &form = document->form(i);
        const int elementCount = form.length();
        for (int j = 0; j < elementCount; ++j) {
            try {
                PageElement &element = form.item(j);
                if (element.value() == value) {
                    element.click();
                    clicked = true;
                }
            } catch (const std::exception &) {
                return clicked;
            }
        }
    }
    return clicked;
}

// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageReader.h"

#include <QString>

#include <cstdint>
#include <optional>

class Clock;
class PageBrowser;
class PageDocument;
class PageElement;
class PageForm;
class PageTextBuffer;
struct FileRule;
struct HostLayout;
struct MainUnitState;
struct PageRule;
struct PressRule;

/**
 * Reads a host's pages as its layout says. Like the built-in reader it looks after the buffer's
 * selection, leaves the wait or the file URL in the shared state and sets MarkerFound; after each
 * step note() says what the step's rule found, or why it found nothing. A file URL is resolved
 * against the page's address and taken only when it is http or https. Thread contract: UI thread.
 */
class LayoutPageReader final : public PageReader
{
public:
    LayoutPageReader(const PageTextBuffer &buffer, MainUnitState &state, const Clock &clock, PageBrowser &browser);

    /** The layout the next steps read by; it must outlive its use. */
    void use(const HostLayout &layout) { m_layout = &layout; }

    PageAction findMissing() override;
    PageAction findWait() override;
    PageAction findCountdown() override;
    PageAction findAbout() override;
    /**
     * Presses the first control the rule names, and no other: one press submits one form, with
     * the layout's fields set on it.
     */
    bool press(PageBrowser &browser, int pressesSoFar) override;
    /** The control press() would press on document, or nullptr with the reason in note(). */
    PageElement *control(PageDocument &document, int pressesSoFar);

    const QString &note() const { return m_note; }

private:
    static bool pressed(const PressRule &rule, const PageForm &form, const PageElement &element);
    QString unread() const;
    bool occurs(const PageRule &rule) const;
    /** The rule's number, or nullopt with the reason in note(). */
    std::optional<std::int64_t> number(const PageRule &rule);
    PageAction retryWait(const std::optional<PageRule> &rule, int unitSeconds, const char *key);
    std::optional<QString> fileUrl();
    QString fileText(const FileRule &rule, const QString &text) const;
    QString pageAddress() const;
    PageAction nothing(const QString &why);

    const PageTextBuffer &m_buffer;
    MainUnitState &m_state;
    const Clock &m_clock;
    PageBrowser &m_browser;
    const HostLayout *m_layout = nullptr;
    QString m_note;
};

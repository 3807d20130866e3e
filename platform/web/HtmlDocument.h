// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageDocument.h"
#include "common/FailureCause.h"
#include "platform/web/GumboArena.h"
#include "platform/web/HtmlForm.h"
#include "platform/web/PageRequest.h"
#include "platform/web/ParseBudget.h"

#include <gumbo.h>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

/**
 * A parsed page: the body's innerHTML, the document's forms and its frames, read from gumbo's
 * tree once; the tree is let go as soon as they are read. It owns its forms and elements, so
 * they stay valid for as long as it is held.
 *
 * Thread contract: parse() runs on any thread (the engine parses on its loader thread); once
 * handed over, the document is used on one thread only (the UI thread).
 */
class HtmlDocument final : public PageDocument
{
public:
    struct Parsed
    {
        /** Null when the budget ran out. */
        std::shared_ptr<HtmlDocument> document;
        ParseRefusal refusal = ParseRefusal::None;
    };
    /** Parses UTF-8 HTML as the page at url, unless the budget runs out first. */
    static Parsed parseWithin(const QByteArray &utf8Html, const QUrl &url, const ParseBudget &budget);
    /**
     * Parses UTF-8 HTML as the page at url within the default budget (no deadline); malformed
     * markup is parsed as browsers do, and a page past the budget gives the failure page.
     */
    static std::shared_ptr<HtmlDocument> parse(const QByteArray &utf8Html, const QUrl &url);
    /** Quorvel's own page for a load that failed: the reason in a heading no scanner acts on. */
    static std::shared_ptr<HtmlDocument> failurePage(const QUrl &url, const QString &reason, const FailureCause &cause);
    /** A few words for the failure page: why a parse was given up. */
    static QString refusalText(ParseRefusal refusal, const ParseBudget &budget);
    ~HtmlDocument() override;
    HtmlDocument(const HtmlDocument &) = delete;
    HtmlDocument &operator=(const HtmlDocument &) = delete;

    QString url() const override;
    QString bodyInnerHtml() const override;
    int formTagCount() const override;
    int formCount() const override;
    HtmlForm &form(int i) override;
    std::optional<FailureCause> loadFailure() const override { return m_loadFailure; }
    void setLoadFailure(const FailureCause &cause) { m_loadFailure = cause; }

    /** The address that relative links resolve against: the base element's, else the page's. */
    QUrl baseUrl() const;
    /** The resolved http(s) addresses of the document's frames and iframes, in document order. */
    QList<QUrl> frameSources() const;

    /** Where a form submission goes; without one (a document parsed on its own) clicks do nothing. */
    void setNavigator(std::function<void(const PageRequest &)> navigator);
    void navigate(const PageRequest &request) const;

private:
    HtmlDocument(const QByteArray &utf8Html, const QUrl &url, const ParseBudget &budget);
    ParseRefusal readTree();
    ParseRefusal collectForms(const std::vector<const GumboNode *> &forms,
                              const std::vector<const GumboNode *> &controls,
                              const QHash<QByteArray, const GumboNode *> &ids);

    // gumbo's tree points into the source text and lives in the arena, so both outlive it;
    // all three are released once the tree has been read.
    QByteArray m_source;
    std::unique_ptr<GumboArena> m_arena;
    GumboOutput *m_output;
    QUrl m_url;
    QUrl m_baseUrl;
    std::optional<QString> m_bodyHtml;
    std::vector<std::unique_ptr<HtmlForm>> m_forms;
    // The frames' src attributes as written; resolved when asked, against the base address.
    QStringList m_frameSources;
    std::function<void(const PageRequest &)> m_navigator;
    std::optional<FailureCause> m_loadFailure;
};

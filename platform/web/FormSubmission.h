// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/FormEntry.h"
#include "platform/web/PageRequest.h"
#include "platform/web/SubmissionAttributes.h"

#include <QList>

#include <optional>
#include <vector>

class HtmlDocument;
class HtmlFormControl;

/**
 * Builds the request a browser sends when a form is submitted: the form data set (named,
 * enabled, checked, selected controls plus the submitter) encoded for the form's method and
 * enctype, sent to the resolved action with the page as Referer.
 * Thread contract: pure; the thread that uses the document.
 */
class FormSubmission final
{
public:
    /** Nothing for a method="dialog" form, which does not navigate. */
    static std::optional<PageRequest> build(const SubmissionAttributes &form, const HtmlDocument &document,
                                            const std::vector<const HtmlFormControl *> &controls,
                                            const HtmlFormControl &submitter);
    /** The form data set: the successful controls in order, the submitter among them. */
    static QList<FormEntry> entries(const std::vector<const HtmlFormControl *> &controls,
                                    const HtmlFormControl &submitter);
    /** application/x-www-form-urlencoded, UTF-8. */
    static QByteArray urlEncoded(const QList<FormEntry> &entries);

private:
    static QString normalizedNewlines(QString text);
};

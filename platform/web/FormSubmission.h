// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageElement.h"
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
                                            const HtmlFormControl &submitter, const QList<FormField> &fields = {});
    /**
     * The form data set: the successful controls in order, the submitter among them. Each of
     * fields replaces the value of every entry of its name; one the set lacks is added at its
     * end, where a hidden input appended to the form would be.
     */
    static QList<FormEntry> entries(const std::vector<const HtmlFormControl *> &controls,
                                    const HtmlFormControl &submitter, const QList<FormField> &fields = {});
    /** application/x-www-form-urlencoded, UTF-8. */
    static QByteArray urlEncoded(const QList<FormEntry> &entries);

private:
    static void setFields(QList<FormEntry> &data, const QList<FormField> &fields);
    static QString normalizedNewlines(QString text);
};

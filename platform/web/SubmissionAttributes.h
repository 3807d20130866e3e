// SPDX-License-Identifier: MIT
#pragma once

#include <gumbo.h>

#include <QString>

#include <optional>

/** Where and how a form is sent, as its attributes say; those not written are unset. */
struct SubmissionAttributes
{
    std::optional<QString> action;
    std::optional<QString> method;
    std::optional<QString> enctype;

    /** The element's action, method and enctype, each name after prefix ("form" for a submitter's). */
    static SubmissionAttributes of(const GumboNode &element, const char *prefix);
};

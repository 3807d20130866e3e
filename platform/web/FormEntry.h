// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/** One name-value pair of a form submission; a file input contributes an empty file. */
struct FormEntry
{
    QString name;
    QString value;
    bool isFile = false;

    bool operator==(const FormEntry &) const = default;
};

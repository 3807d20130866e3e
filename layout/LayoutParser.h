// SPDX-License-Identifier: MIT
#pragma once

#include "layout/HostLayout.h"
#include "layout/LayoutError.h"

#include <QByteArray>
#include <QString>

#include <variant>

class PatternCompiler;

/**
 * Reads a layout file: lines of "key = value", blank lines and "#" comments. Everything it
 * refuses comes back as one LayoutError with the line at fault; nothing in the text can make it
 * run long or hold much, since the text is bounded first. Pure apart from the compiler; any thread.
 */
class LayoutParser final
{
public:
    using Result = std::variant<HostLayout, LayoutError>;

    static constexpr qsizetype maxFileBytes = 256 * 1024;
    static constexpr qsizetype maxPatternLength = 1000;
    static constexpr int maxHosts = 64;
    static constexpr int maxFields = 32;
    static constexpr qsizetype maxFieldLength = 1000;

    /** file names the layout in its errors and in HostLayout::file. */
    static Result parse(const QString &file, const QByteArray &bytes, const PatternCompiler &compiler);
};

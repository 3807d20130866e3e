// SPDX-License-Identifier: MIT
#pragma once

#include "layout/LayoutParser.h"
#include "platform/pattern/Re2PatternCompiler.h"

#include <gtest/gtest.h>

/** text parsed as a layout file that must be valid; a test that gets an error fails with it. */
inline HostLayout parsedLayout(const QString &text, const QString &file = QStringLiteral("test.layout"))
{
    LayoutParser::Result result = LayoutParser::parse(file, text.toUtf8(), Re2PatternCompiler());
    if (const auto *error = std::get_if<LayoutError>(&result)) {
        ADD_FAILURE() << error->text().toStdString();
        return {};
    }
    return std::get<HostLayout>(std::move(result));
}

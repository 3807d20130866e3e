// SPDX-License-Identifier: MIT
#pragma once

#include "layout/TextPattern.h"

/**
 * Layout patterns through RE2, whose matching time is linear in the text whatever the pattern:
 * no backtracking, so no pattern can make a page's reading run away. A pattern whose automaton
 * would need more than a small budget of memory is refused instead. Thread contract: any thread.
 */
class Re2PatternCompiler final : public PatternCompiler
{
public:
    static constexpr std::int64_t maxPatternMemory = 2 * 1024 * 1024;

    std::shared_ptr<const TextPattern> compile(const QString &pattern, QString &reason) const override;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>
#include <optional>

/**
 * A layout's compiled pattern. The engine behind it runs in time linear in the text, so that no
 * layout and no page can make a reading run long. Thread contract: const members on any thread.
 */
class TextPattern
{
public:
    virtual ~TextPattern() = default;
    /** How many groups in parentheses the pattern captures. */
    virtual int groupCount() const = 0;
    /** Whether the pattern occurs anywhere in text. */
    virtual bool occursIn(const QString &text) const = 0;
    /** The first group of the pattern's first occurrence in text; nullopt when it does not occur. */
    virtual std::optional<QString> firstGroupIn(const QString &text) const = 0;
};

/** Turns a layout's pattern text into a TextPattern. Thread contract: any thread. */
class PatternCompiler
{
public:
    virtual ~PatternCompiler() = default;
    /** The compiled pattern; nullptr with the engine's reason in reason when it is refused. */
    virtual std::shared_ptr<const TextPattern> compile(const QString &pattern, QString &reason) const = 0;
};

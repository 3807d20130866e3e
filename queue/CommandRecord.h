// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * What the command run after a file arrived made of it: how it ended, in the words the history
 * shows, and what it printed (capped). It never changes whether the file counts as done. A plain
 * value; any thread.
 */
struct CommandRecord
{
    /** "退出码 0", "退出码 3", "超时, 已结束", "无法启动: …", or why it did not run. */
    QString result;
    /** Its standard output and error, merged, cut at CompletionCommand::maxOutputBytes. */
    QString output;

    friend bool operator==(const CommandRecord &, const CommandRecord &) = default;
};

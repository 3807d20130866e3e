// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

/**
 * An options file in aria2's form: "key=value" lines, '#' comments and blank lines, each key a
 * long option without its dashes. A flag takes "true" or "false".
 */
struct ConfFileArguments
{
    /** The lines of path as command-line arguments; throws QuorvelError naming the line that is wrong. */
    static QStringList read(const QString &path, const QStringList &flags, const QStringList &valued);
    /** $XDG_CONFIG_HOME/quorvel/batch.conf, or under ~/.config without it. */
    static QString defaultPath(const QString &configHome, const QString &home);
};

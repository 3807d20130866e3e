// SPDX-License-Identifier: MIT
#pragma once

#include "layout/HostLayouts.h"
#include "layout/LayoutError.h"
#include "layout/LayoutParser.h"

#include <QList>
#include <QString>
#include <QStringList>

class PatternCompiler;

/** The layouts read from the layout folders, and every file that was skipped with its reason. */
struct LoadedLayouts
{
    HostLayouts layouts;
    QList<LayoutError> errors;
};

/**
 * Reads every "*.layout" file of the layout folders. A file that cannot be read or parsed, or
 * that names a host another file of its folder already names, is skipped with its reason; the
 * rest still load. Thread contract: any thread.
 */
class LayoutLoader final
{
public:
    static constexpr int maxFilesPerFolder = 500;

    /** The package's folder, then the user's ($XDG_CONFIG_HOME/quorvel/layouts): the user's wins. */
    static QStringList standardFolders();
    /** folders from the one that yields to the one that wins; a folder that does not exist is none. */
    static LoadedLayouts load(const QStringList &folders, const PatternCompiler &compiler);
    /** One file, read no further than the parser's bound. */
    static LayoutParser::Result loadFile(const QString &path, const PatternCompiler &compiler);
};

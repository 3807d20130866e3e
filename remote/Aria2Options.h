// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>

/** What addUri's options ask of a new entry. A value; any thread. */
struct AddOptions
{
    /** The entry's own settings: "dir" and "out" when given. */
    QMap<QString, QString> entryOptions;
    /** "pause": the entry waits paused. */
    bool paused = false;
};

/**
 * dir as a folder inside saveFolder, or throws the RpcError refusing it: the folder must exist,
 * and where it leads, through ".." and symbolic links, must be saveFolder or below it. A
 * relative dir is read from saveFolder. Reads the file system; any thread.
 */
QString folderInside(const QString &dir, const QString &saveFolder);

/**
 * addUri's options: "dir" (see folderInside; defaultDir when not given, if set), "out" (a file
 * name, no path), "pause"; aria2 ignores options it does not know, and so do these. Throws the
 * RpcError refusing a bad value.
 */
AddOptions readAddOptions(const QJsonObject &options, const QString &saveFolder, const QString &defaultDir);

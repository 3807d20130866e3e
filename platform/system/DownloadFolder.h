// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/** The default download folder and its creation. Thread-agnostic. */
class DownloadFolder final
{
public:
    /** $HOME/Quorvel/Downloads, read from the environment on every call. */
    static QString defaultPath();
    /**
     * Creates path with any missing parents; answers whether it exists afterwards. When it
     * does not, why (given) receives the system's reason.
     */
    static bool create(const QString &path, QString *why = nullptr);
};

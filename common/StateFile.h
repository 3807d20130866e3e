// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/**
 * The one file a kept queue lives in, and the few things done to it. Every failure sets why to
 * the system's own words. Thread contract: replace() from one thread at a time, any thread; the
 * rest on the thread that made it.
 */
class StateFile
{
public:
    virtual ~StateFile() = default;

    virtual QString path() const = 0;
    /** Makes this process the file's only writer for as long as it lives; false when another has it. */
    virtual bool claim(QString &why) = 0;
    /** The file's content; nullopt with why empty when there is no file, with why set when it cannot be read. */
    virtual std::optional<QByteArray> read(QString &why) = 0;
    /** Replaces the content whole: a reader, or a cut at any moment, sees the old or the new. */
    virtual bool replace(const QByteArray &content, QString &why) = 0;
    /** Moves the file to a new name beside it with the time in it; that name, or empty and why. */
    virtual QString moveAside(QString &why) = 0;
    /** Removes the file; true when it is gone (or never was). */
    virtual bool remove(QString &why) = 0;
};

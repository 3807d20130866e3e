// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

/**
 * What a Content-Disposition header (RFC 6266) says of an answer: whether it is meant to be
 * saved, and under what name. The name is as the server wrote it, decoded, and not yet fit for a
 * file system: it may hold a path, control characters or nothing at all, and whoever saves by it
 * makes it safe first. Pure; any thread.
 */
struct ContentDisposition
{
    /** "attachment", or a type this parser does not know, which RFC 6266 treats alike. */
    bool attachment = false;
    /** filename* (RFC 8187, UTF-8 or ISO-8859-1) where it decodes, else filename; "" when none. */
    QString fileName;

    /** Never throws; a malformed header yields what could be read of it. */
    static ContentDisposition parse(QByteArrayView header);
};

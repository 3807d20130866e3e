// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QStringView>

/**
 * JSON text written straight into bytes: for answers too large to build as QJsonValue first (a
 * tellWaiting of a thousand statuses took 19 ms that way, most of it in allocations). Commas
 * and colons are placed by what was written before; strings are escaped as RFC 8259 asks, and
 * what comes out is UTF-8 whatever the QString held. Keys are the program's own ASCII names. A
 * value; any thread.
 */
class JsonText
{
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    /** The next member's name, inside an object; its value follows. */
    void key(QLatin1StringView name);
    void string(QStringView value);
    /** A member whose value is a string: key(name), then string(value). */
    void member(QLatin1StringView name, QStringView value)
    {
        key(name);
        string(value);
    }
    /** A value that is JSON text already, such as another JsonText's. */
    void raw(const QByteArray &json);

    const QByteArray &text() const { return m_text; }

private:
    /** Before a value or a key: a comma unless it is the first in its container. */
    void separate();
    void open(char bracket);
    void close(char bracket);

    QByteArray m_text;
    bool m_first = true;
};

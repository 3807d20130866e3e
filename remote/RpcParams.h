// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

/**
 * A call's parameters after the secret, read by position. A missing or mistyped one throws the
 * RpcError aria2 answers with ("The parameter at 1 has wrong type."), counting as aria2 counts:
 * from 0, after the secret. A value; any thread.
 */
class RpcParams final
{
public:
    explicit RpcParams(QJsonArray values)
        : m_values(std::move(values))
    {
    }

    bool has(qsizetype i) const { return i < m_values.size(); }

    QString string(qsizetype i) const;
    /** A whole JSON number; a string of digits is the wrong type, as for aria2. */
    qint64 integer(qsizetype i) const;
    /** integer(i), refused when negative. */
    qint64 count(qsizetype i) const;
    QJsonArray array(qsizetype i) const;
    /** The object at i, or an empty one when the call ends before it. */
    QJsonObject optionalObject(qsizetype i) const;
    /** The strings of the array at i, or none when the call ends before it. */
    QStringList optionalStrings(qsizetype i) const;
    /** The entry id a GID at i names: 16 hex digits, else "Invalid GID". */
    DownloadEntry::Id gid(qsizetype i) const;

private:
    QJsonValue required(qsizetype i) const;
    [[noreturn]] static void wrongType(qsizetype i);

    QJsonArray m_values;
};

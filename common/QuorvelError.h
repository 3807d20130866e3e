// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QByteArray>
#include <stdexcept>

/**
 * The program's own error type. Operations that cannot finish throw it; the place where the
 * event loop delivers the operation catches it and shows its message in the error box.
 */
class QuorvelError : public std::runtime_error
{
public:
    explicit QuorvelError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    const QString &message() const noexcept { return m_message; }

    /** "在范围外的名单索引 (%d)": a list index that names no entry. */
    static QuorvelError listIndex(int index)
    {
        return QuorvelError(QStringLiteral("在范围外的名单索引 (%1)").arg(index));
    }

private:
    QString m_message;
};

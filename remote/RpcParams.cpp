// SPDX-License-Identifier: MIT
#include "remote/RpcParams.h"

#include "remote/RpcError.h"

#include <algorithm>
#include <cmath>

namespace {
QString at(qsizetype i)
{
    return QString::number(i);
}
} // namespace

QJsonValue RpcParams::required(qsizetype i) const
{
    if (!has(i))
        throw RpcError::failed(QStringLiteral("The parameter at %1 is required but missing.").arg(at(i)));
    return m_values.at(i);
}

void RpcParams::wrongType(qsizetype i)
{
    throw RpcError::failed(QStringLiteral("The parameter at %1 has wrong type.").arg(at(i)));
}

QString RpcParams::string(qsizetype i) const
{
    const QJsonValue value = required(i);
    if (!value.isString())
        wrongType(i);
    return value.toString();
}

qint64 RpcParams::integer(qsizetype i) const
{
    const QJsonValue value = required(i);
    const double number = value.toDouble();
    // Beyond 2^53 a double is no longer a whole number one can trust.
    if (!value.isDouble() || number != std::trunc(number) || std::abs(number) > 9'007'199'254'740'992.0)
        wrongType(i);
    return qint64(number);
}

qint64 RpcParams::count(qsizetype i) const
{
    const qint64 value = integer(i);
    if (value < 0)
        throw RpcError::failed(
            QStringLiteral(
                "The integer parameter at %1 has invalid value: the value must be greater than or equal to 0.")
                .arg(at(i)));
    return value;
}

QJsonArray RpcParams::array(qsizetype i) const
{
    const QJsonValue value = required(i);
    if (!value.isArray())
        wrongType(i);
    return value.toArray();
}

QJsonObject RpcParams::optionalObject(qsizetype i) const
{
    if (!has(i))
        return {};
    if (!m_values.at(i).isObject())
        wrongType(i);
    return m_values.at(i).toObject();
}

QStringList RpcParams::optionalStrings(qsizetype i) const
{
    if (!has(i))
        return {};
    if (!m_values.at(i).isArray())
        wrongType(i);
    QStringList strings;
    for (const QJsonValue &value : m_values.at(i).toArray()) {
        if (!value.isString())
            wrongType(i);
        strings.append(value.toString());
    }
    return strings;
}

DownloadEntry::Id RpcParams::gid(qsizetype i) const
{
    const QString text = string(i);
    // Only the written form: toULongLong would also take "0x" and blanks, naming another entry.
    const bool hex = text.size() == 16 && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
                         return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
                     });
    const DownloadEntry::Id id = hex ? text.toULongLong(nullptr, 16) : 0;
    if (id == 0)
        throw RpcError::failed(QStringLiteral("Invalid GID ") + text);
    return id;
}

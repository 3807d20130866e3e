// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <optional>

/**
 * The digest a file must have once it has arrived, as aria2's input-file option "checksum"
 * writes it: "sha-256=HEX", "sha-1=HEX" or "md5=HEX", the hex in either case. A plain value;
 * any thread.
 */
struct FileChecksum
{
    /** The option's name in a list file. */
    static constexpr QLatin1String optionKey{"checksum"};

    QCryptographicHash::Algorithm algorithm = QCryptographicHash::Sha256;
    /** The digest's raw bytes. */
    QByteArray digest;

    /** nullopt for an algorithm not named above, or hex that is not one digest of it. */
    static std::optional<FileChecksum> parse(QStringView text)
    {
        const qsizetype equals = text.indexOf(u'=');
        if (equals < 0)
            return std::nullopt;
        const QStringView name = text.first(equals);
        const QStringView hex = text.sliced(equals + 1);
        FileChecksum checksum;
        if (name.compare(u"sha-256", Qt::CaseInsensitive) == 0)
            checksum.algorithm = QCryptographicHash::Sha256;
        else if (name.compare(u"sha-1", Qt::CaseInsensitive) == 0)
            checksum.algorithm = QCryptographicHash::Sha1;
        else if (name.compare(u"md5", Qt::CaseInsensitive) == 0)
            checksum.algorithm = QCryptographicHash::Md5;
        else
            return std::nullopt;
        const auto isHex = [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        };
        if (hex.size() != 2 * QCryptographicHash::hashLength(checksum.algorithm)
            || !std::all_of(hex.begin(), hex.end(), isHex))
            return std::nullopt;
        checksum.digest = QByteArray::fromHex(hex.toLatin1());
        return checksum;
    }

    /** The short words for a file whose digest came out as got. */
    QString mismatchText(const QByteArray &got) const
    {
        // Eight hex digits tell two digests apart at a glance; the whole would not fit the status.
        return QStringLiteral("校验失败: 应为 %1…, 实为 %2…")
            .arg(QString::fromLatin1(digest.toHex().left(8)), QString::fromLatin1(got.toHex().left(8)));
    }

    friend bool operator==(const FileChecksum &, const FileChecksum &) = default;
};

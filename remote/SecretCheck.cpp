// SPDX-License-Identifier: MIT
#include "remote/SecretCheck.h"

#include <QByteArray>
#include <QCryptographicHash>

bool secretMatches(const QString &given, const QString &secret)
{
    const QByteArray a = QCryptographicHash::hash(given.toUtf8(), QCryptographicHash::Sha256);
    const QByteArray b = QCryptographicHash::hash(secret.toUtf8(), QCryptographicHash::Sha256);
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return difference == 0 && !secret.isEmpty();
}

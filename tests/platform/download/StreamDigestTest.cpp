// SPDX-License-Identifier: MIT
#include "platform/download/StreamDigest.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

// More than the bytes allowed to wait, in blocks of uneven sizes, with a reset between: the
// digest must be Qt's of what was added since, and come again unchanged.
TEST(StreamDigest, AgreesWithQtOverManyBlocksAfterAResetAndAgain)
{
    QByteArray data;
    for (int i = 0; data.size() < 3 * StreamDigest::maxPending; ++i)
        data += QByteArray(1 + (i * 7919) % 300'000, char('a' + i % 26));
    for (const auto algorithm : {QCryptographicHash::Sha256, QCryptographicHash::Sha1, QCryptographicHash::Md5}) {
        SCOPED_TRACE(int(algorithm));
        StreamDigest digest(algorithm);
        digest.add(QByteArray("thrown away"));
        // Hashed for certain before the reset, not merely waiting.
        digest.result();
        digest.reset();
        for (qsizetype at = 0; at < data.size(); at += 100'003)
            digest.add(data.mid(at, 100'003));
        const QByteArray expected = QCryptographicHash::hash(data, algorithm);
        EXPECT_EQ(digest.result().toHex(), expected.toHex());
        EXPECT_EQ(digest.result().toHex(), expected.toHex());
        digest.add(QByteArray("more"));
        EXPECT_EQ(digest.result(), QCryptographicHash::hash(data + "more", algorithm));
    }
}

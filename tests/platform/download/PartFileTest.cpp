// SPDX-License-Identifier: MIT
#include "platform/download/PartFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {
/** The full device, where every write fails with ENOSPC: /dev/full, or a node of our own. */
QString fullDevice(const QTemporaryDir &dir)
{
    struct stat status{};
    if (::stat("/dev/full", &status) == 0 && S_ISCHR(status.st_mode))
        return QStringLiteral("/dev/full");
    const QString own = dir.filePath(QStringLiteral("full"));
    return ::mknod(QFile::encodeName(own).constData(), S_IFCHR | 0600, makedev(1, 7)) == 0 ? own : QString();
}

TEST(PartFile, AFullDiskIsReportedWithTheSystemsReason)
{
    QTemporaryDir dir;
    const QString full = fullDevice(dir);
    if (full.isEmpty())
        GTEST_SKIP() << "no /dev/full here, and no right to make a device node";
    PartFile file(dir.filePath(QStringLiteral("file.bin")));
    ASSERT_TRUE(file.resume(full));
    const QByteArray piece(64 * 1024, 'x');
    bool written = true;
    for (int i = 0; i < 20 && written; ++i)
        written = file.append(piece.constData(), std::size_t(piece.size()));
    EXPECT_FALSE(written && file.commit());
    EXPECT_TRUE(file.errorString().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << file.errorString().toStdString();
}

TEST(PartFile, RestartThrowsAwayWhatWasWrittenAndKeepSavesTheRest)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("file.bin"));
    QString kept;
    {
        PartFile file(target);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.append("stale", 5));
        ASSERT_TRUE(file.restart());
        ASSERT_TRUE(file.append("fresh", 5));
        EXPECT_EQ(file.size(), 5u);
        file.keep();
        kept = file.partName();
    }
    PartFile again(target);
    ASSERT_TRUE(again.resume(kept));
    EXPECT_EQ(again.size(), 5u);
    ASSERT_TRUE(again.append("-more", 5));
    ASSERT_TRUE(again.commit());
    QFile result(target);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll(), QByteArray("fresh-more"));
    EXPECT_FALSE(QFile::exists(kept));
}
} // namespace

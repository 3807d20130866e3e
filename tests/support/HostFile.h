// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/FileContent.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>

/**
 * The file arrived whole in folder under its decoded name, byte for byte as the simulated host
 * made it from the name as the URL spells it (urlName, when that differs).
 */
inline void expectHostFile(const QString &folder, const QString &name, std::uint64_t size,
                           const std::string &urlName = {})
{
    QFile file(QDir(folder).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const std::string hostName = urlName.empty() ? name.toStdString() : urlName;
    EXPECT_TRUE(file.readAll() == QByteArray::fromStdString(FileContent(hostName, size).bytes(0, size)))
        << name.toStdString();
}

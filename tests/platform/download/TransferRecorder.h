// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/UrlDownloadService.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

/** A transfer's callback that records what the service reported, and checks its order. */
struct TransferRecorder final : UrlDownloadCallback
{
    int starts = 0;
    int stops = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    std::vector<std::uint64_t> resumed;
    QStringList savingAs;
    TransferOutcome outcome;
    std::function<bool(std::uint64_t received)> abortWhen = [](std::uint64_t) { return false; };

    void onStartBinding() override { ++starts; }
    bool onProgress(std::uint64_t received, std::uint64_t total) override
    {
        EXPECT_EQ(starts, 1) << "progress before the start";
        EXPECT_EQ(stops, 0) << "progress after the stop";
        progress.emplace_back(received, total);
        return abortWhen(received);
    }
    void onResumed(std::uint64_t keptBytes) override { resumed.push_back(keptBytes); }
    void onSavingAs(const QString &fileName) override
    {
        EXPECT_TRUE(progress.empty()) << "the name came after the progress";
        savingAs.push_back(fileName);
    }
    void onStopBinding(const TransferOutcome &ended) override
    {
        ++stops;
        outcome = ended;
    }
};

inline QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

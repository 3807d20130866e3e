// SPDX-License-Identifier: MIT
#include "platform/download/CurlUrlDownloadService.h"

#include "platform/download/CurlTransfer.h"

#include <exception>

CurlUrlDownloadService::CurlUrlDownloadService(const CurlSession &session)
    : m_session(session)
{
}

TransferOutcome CurlUrlDownloadService::downloadToFile(const QString &url, const QString &fileName,
                                                       UrlDownloadCallback &callback)
{
    callback.onStartBinding();
    TransferOutcome outcome;
    try {
        CurlTransfer transfer(m_session, callback, fileName);
        outcome = transfer.run(url);
    } catch (const std::exception &error) {
        outcome = TransferOutcome::failed(QString::fromUtf8(error.what()));
    } catch (...) {
        outcome = TransferOutcome::failed(QStringLiteral("unknown error in the transfer"));
    }
    // After the transfer object is gone, so that a failed transfer's part file is removed first.
    callback.onStopBinding(outcome);
    return outcome;
}

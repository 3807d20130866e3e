// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class DownloadQueue;
class QLineEdit;

/** What the options dialog reaches in the main window. Owned by the main window; UI thread only. */
struct OptionsLinks
{
    DownloadQueue &queue;
    /** The save folder; the page flow reads it when it names a download's target. */
    QLineEdit &Edit2;
    /** The main window's "开始下载". */
    std::function<void()> startDownload;
};

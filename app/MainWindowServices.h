// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

class Clock;
class PageBrowser;
class PowerRequest;
class UrlDownloadService;

/**
 * What the main window's page flow works with, built by the composition root: the page engine,
 * the URL download service, the power-off request and the clock. Tests pass fakes.
 */
struct MainWindowServices
{
    PageBrowser &browser;
    UrlDownloadService &downloads;
    PowerRequest &power;
    const Clock &clock;
    /** One counted second of the power-off countdown. */
    std::chrono::milliseconds countdownStep = std::chrono::seconds(1);
};

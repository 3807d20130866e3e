// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageAction.h"

class PageBrowser;

/**
 * How the page flow reads one host's pages: each step looks for its page in the page text and,
 * when it finds it, leaves the wait or the file URL in the shared state and says what the flow
 * must start; a step that finds nothing sets MarkerFound to 0. The flow keeps the order of the
 * steps, its retries and its bounds whatever the reader. Thread contract: UI thread only.
 */
class PageReader
{
public:
    virtual ~PageReader() = default;

    /** The file is gone: DeleteURLError. */
    virtual PageAction findMissing() = 0;
    /** The host asks for a wait before the next file: StartRetryWait. */
    virtual PageAction findWait() = 0;
    /** The countdown before the file, with the file URL taken: StartCountdown. */
    virtual PageAction findCountdown() = 0;
    /** The host is busy, "try again in about": StartRetryWait. */
    virtual PageAction findAbout() = 0;
    /** Presses the first page's control; pressesSoFar counts this walk's earlier presses. */
    virtual bool press(PageBrowser &browser, int pressesSoFar) = 0;
};

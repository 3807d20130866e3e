// SPDX-License-Identifier: MIT
#pragma once

/** What a page scanner asks of the page flow after reading the page text. */
enum class PageAction {
    None,            // marker absent; MarkerFound is 0
    DeleteURLError,  // the file does not exist: the flow drops the URL (and decides MarkerFound)
    StartRetryWait,  // WaitDuration and StartTime are set: start Timer2
    StartCountdown,  // WaitDuration, StartTime and the final URL are set: start Timer1
};

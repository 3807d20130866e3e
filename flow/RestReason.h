// SPDX-License-Identifier: MIT
#pragma once

/** Why a run came to rest: nothing more happens in it until someone acts. */
enum class RestReason {
    /**
     * No URL is left to open (the power-off check has been made), or only paused entries are
     * left (they wait for the user, and nothing powers off).
     */
    QueueDone,
    /** The next URL already failed in this run; only a user's start tries it again. */
    RestingAtFailure,
    /** "停止下载" ended what was running. */
    Stopped,
    /** The page just read matched no reader and had no "Free user" button to press. */
    UnrecognisedPage,
};

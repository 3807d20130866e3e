// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/FileOptions.h"

#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>

/** A direct file address handed out on a countdown page, valid only with its session's cookie. */
struct FileTicket final
{
    std::string session;
    std::string name;
    FileOptions options;
};

/** What the Free-user step answers next for one file. */
enum class FreeUserStep { waitPage, aboutPage, countdownPage };

/**
 * Everything the host remembers between requests: the sessions its cookie names, what each
 * session has been shown for each file, and the tickets of the direct file addresses.
 *
 * Thread contract: every member may be called from any of the server's threads.
 */
class HostState final
{
public:
    HostState();

    std::string newSession();
    bool knowsSession(const std::string &session) const;

    /**
     * Wait pages come first, once each per session and file (the "wait" page, then the "about"
     * page, as options asks for them); after them the countdown page.
     */
    FreeUserStep nextFreeUserStep(const std::string &session, const std::string &name,
                                  const FileOptions &options);

    /** Remembers ticket and answers the id that names it in the file address. */
    std::string issueTicket(FileTicket ticket);
    std::optional<FileTicket> ticket(const std::string &id) const;

    /** Whether a body of the file was cut in this session. */
    bool wasCut(const std::string &session, const std::string &name);
    /** A body of the file was cut off where the failure said. */
    void countCut(const std::string &session, const std::string &name);

private:
    struct FileRecord
    {
        bool waitShown = false;
        bool aboutShown = false;
        unsigned cuts = 0;
    };

    std::string randomId();
    FileRecord &record(const std::string &session, const std::string &name);

    mutable std::mutex m_mutex;
    std::mt19937_64 m_random;
    std::map<std::string, std::map<std::string, FileRecord>> m_sessions;
    std::map<std::string, FileTicket> m_tickets;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/HostDefaults.h"
#include "tools/fakehost/HostPages.h"
#include "tools/fakehost/HostState.h"
#include "tools/fakehost/SlowSitePages.h"

#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

/**
 * A free-download file host on 127.0.0.1: file pages with a "Free user" button, wait pages,
 * countdown pages whose form leads to the file, and the files themselves, which only the client
 * holding the session cookie of their pages may fetch. Each file's behaviour comes from the
 * query of its page URL (see FileOptions), the rest from defaults.
 *
 * URLs: /file/NAME?QUERY (file page), POST /free/NAME?QUERY (the Free-user step),
 * /get/TICKET/NAME (the file), /ad/banner.html (the ad frame).
 *
 * Direct links are files at once, with no page and no cookie: /direct/NAME?QUERY, where the query
 * may also give the answer's Content-Type (type=) and the names of its Content-Disposition
 * (filename=, filename*= in UTF-8); with either name the answer says attachment.
 *
 * A second site with pages of another shape serves the same files: /slow/file/NAME?QUERY (file
 * page with "Slow download"), POST /slow/go/NAME?QUERY, and its links are relative. Reach it as
 * http://slowfiles.localhost:PORT/slow/file/... to have its shipped layout apply.
 *
 * Thread contract: construct, start() and stop() on one thread. The request log is called from
 * the server's threads, one call at a time.
 */
class FakeHost final
{
public:
    /** Receives "listening on URL" first, then one line per request: method, target, status, bytes. */
    using RequestLog = std::function<void(const std::string &line)>;

    FakeHost(HostDefaults defaults, RequestLog log);
    ~FakeHost();
    FakeHost(const FakeHost &) = delete;
    FakeHost &operator=(const FakeHost &) = delete;

    /** Binds 127.0.0.1:port (0: an ephemeral port) and serves on a thread of its own until stop(). */
    void start(int port);
    /** Ends every transfer, closes the socket and joins the thread; safe to call twice. */
    void stop();

    int port() const { return m_port; }
    /** http://127.0.0.1:PORT followed by path. */
    std::string url(std::string_view path) const;

private:
    /** Where one site's pages are and how they are worded. */
    struct Site
    {
        const SitePages &pages;
        std::string pagePrefix;
        std::string pressPrefix;
        bool relativeLinks;
        /** A field the press must send, with the value that the page's script would set; none when "". */
        std::string requiredName;
        std::string requiredValue;
    };
    struct RequestedFile
    {
        std::string name;
        FileOptions options;
    };

    Site firstSite() const { return {*m_pages, "/file/", "/free/", false, "", ""}; }
    Site slowSite() const { return {m_slowPages, "/slow/file/", "/slow/go/", true, "speed", "slow"}; }
    /** path as the site's pages link to it. */
    std::string link(const Site &site, const std::string &path) const { return site.relativeLinks ? path : url(path); }
    void filePage(const httplib::Request &request, httplib::Response &response, const Site &site);
    void freeUser(const httplib::Request &request, httplib::Response &response, const Site &site);
    /** The file a page URL names, made safe, with its options; answers 404 or 400 itself when it has none. */
    std::optional<RequestedFile> requestedFile(const httplib::Request &request, httplib::Response &response,
                                               const SitePages &pages, std::string_view prefix) const;
    void file(const httplib::Request &request, httplib::Response &response);
    void directFile(const httplib::Request &request, httplib::Response &response);
    void sendFile(const httplib::Request &request, httplib::Response &response, const FileTicket &ticket,
                  const std::string &session);

    /** The session the request's cookie names, or "" when it names none this host gave out. */
    std::string sessionOf(const httplib::Request &request) const;
    void answer(httplib::Response &response, int status, const std::string &html) const;
    void log(const std::string &line);
    void logLine(const std::string &method, const std::string &target, int status, std::uint64_t bytes);

    HostDefaults m_defaults;
    RequestLog m_log;
    std::mutex m_logMutex;
    HostState m_state;
    std::unique_ptr<HostPages> m_pages;
    SlowSitePages m_slowPages;
    std::atomic<bool> m_stopping = false;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

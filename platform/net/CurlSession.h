// SPDX-License-Identifier: MIT
#pragma once

#include "settings/ProxySetting.h"

#include <curl/curl.h>

#include <array>
#include <chrono>
#include <mutex>

/**
 * What every HTTP request of Quorvel shares: one cookie store (so that a file transfer sends the
 * cookies the host's pages set), DNS and TLS session caches, and the request settings that keep
 * a hostile server from doing harm.
 *
 * Thread contract: construct and configure on one thread before use; afterwards share(),
 * applyCommonOptions(), setProxy() and proxy() may be called from any thread (libcurl's share
 * locks guard the store, a mutex the proxy).
 * The session must outlive every easy handle that was given its options.
 */
class CurlSession final
{
public:
    CurlSession();
    ~CurlSession();
    CurlSession(const CurlSession &) = delete;
    CurlSession &operator=(const CurlSession &) = delete;

    static constexpr int maxRedirects = 20;

    /** The request has failed when connecting took longer than this. */
    void setConnectTimeout(std::chrono::milliseconds timeout) { m_connectTimeout = timeout; }
    /** The request has failed when no byte arrived for this long (whole seconds, at least 1). */
    void setStallTimeout(std::chrono::seconds timeout) { m_stallTimeout = timeout; }
    std::chrono::milliseconds connectTimeout() const { return m_connectTimeout; }
    std::chrono::seconds stallTimeout() const { return m_stallTimeout; }

    CURLSH *share() const { return m_share; }

    /**
     * The proxy of every request begun from now on. Empty when it applies, else why not (this
     * libcurl lacks the scheme, a manual proxy lacks its host); the proxy stays as it was then.
     */
    QString setProxy(const ProxySetting &proxy);
    ProxySetting proxy() const;
    /** Requests go through a proxy named here, so a connection refused is the proxy's. */
    bool namesProxy() const;

    /**
     * Gives an easy handle the shared store and the common settings: http and https only (on
     * redirects too), at most 20 redirects, verified TLS, Quorvel's User-Agent, the connect
     * timeout, the stall limit and the proxy.
     */
    void applyCommonOptions(CURL *easy) const;

    static const char *userAgent();

private:
    static void applyProxy(CURL *easy, const ProxySetting &proxy);
    static void lock(CURL *, curl_lock_data data, curl_lock_access, void *self);
    static void unlock(CURL *, curl_lock_data data, void *self);

    CURLSH *m_share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> m_locks;
    mutable std::mutex m_proxyMutex;
    ProxySetting m_proxy;
    std::chrono::milliseconds m_connectTimeout{30000};
    std::chrono::seconds m_stallTimeout{60};
};

// SPDX-License-Identifier: MIT
#include "platform/net/CurlSession.h"

#include <algorithm>
#include <stdexcept>

namespace {
std::once_flag globalInitOnce;
}

CurlSession::CurlSession()
{
    std::call_once(globalInitOnce, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            throw std::runtime_error("libcurl could not be initialised");
    });
    m_share = curl_share_init();
    if (!m_share)
        throw std::runtime_error("libcurl share could not be created");
    curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &CurlSession::lock);
    curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &CurlSession::unlock);
    curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
}

CurlSession::~CurlSession()
{
    curl_share_cleanup(m_share);
}

const char *CurlSession::userAgent()
{
    return "Quorvel/1.1 (download manager; libcurl)";
}

void CurlSession::applyCommonOptions(CURL *easy) const
{
    curl_easy_setopt(easy, CURLOPT_SHARE, m_share);
    // An empty cookie file switches the cookie engine on without reading any file.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(maxRedirects));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeout.count()));
    // "Stalled" means under one byte a second for the whole window.
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(std::max<long long>(1, m_stallTimeout.count())));
    applyProxy(easy, proxy());
}

QString CurlSession::setProxy(const ProxySetting &proxy)
{
    if (proxy.mode == ProxySetting::Mode::Manual) {
        if (!proxy.isComplete())
            return QStringLiteral("代理缺少主机或端口");
        if (proxy.scheme == QLatin1String("https")
            && !(curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_HTTPS_PROXY))
            return QStringLiteral("这个 libcurl 不支持 https 代理");
    }
    const std::lock_guard lock(m_proxyMutex);
    m_proxy = proxy;
    return QString();
}

ProxySetting CurlSession::proxy() const
{
    const std::lock_guard lock(m_proxyMutex);
    return m_proxy;
}

bool CurlSession::namesProxy() const
{
    return proxy().mode == ProxySetting::Mode::Manual;
}

void CurlSession::applyProxy(CURL *easy, const ProxySetting &proxy)
{
    switch (proxy.mode) {
    case ProxySetting::Mode::None:
        // An empty proxy also overrides http_proxy and the rest of the environment.
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        break;
    case ProxySetting::Mode::System:
        // libcurl reads http_proxy, https_proxy, all_proxy and no_proxy itself; hosts named
        // here replace no_proxy's.
        if (!proxy.noProxy.isEmpty())
            curl_easy_setopt(easy, CURLOPT_NOPROXY, proxy.noProxy.toUtf8().constData());
        break;
    case ProxySetting::Mode::Manual: {
        // libcurl copies the strings it is given.
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy.endpoint().toUtf8().constData());
        // Not the environment's no_proxy: a proxy named by hand is meant for every host not named here.
        curl_easy_setopt(easy, CURLOPT_NOPROXY, proxy.noProxy.toUtf8().constData());
        if (!proxy.user.isEmpty()) {
            curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxy.user.toUtf8().constData());
            curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxy.password.toUtf8().constData());
        }
        break;
    }
    }
}

void CurlSession::lock(CURL *, curl_lock_data data, curl_lock_access, void *self)
{
    static_cast<CurlSession *>(self)->m_locks[data].lock();
}

void CurlSession::unlock(CURL *, curl_lock_data data, void *self)
{
    static_cast<CurlSession *>(self)->m_locks[data].unlock();
}

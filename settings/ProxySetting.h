// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

/**
 * Which proxy the pages and the transfers go through. System leaves it to the http_proxy,
 * https_proxy, all_proxy and no_proxy environment; None ignores that environment too. The
 * password goes to the proxy and into the settings file, never into a text shown or printed:
 * endpoint() and shown() leave it out. A value; any thread.
 */
struct ProxySetting
{
    enum class Mode { None, System, Manual };

    Mode mode = Mode::System;
    /** http, https, socks5 or socks5h (the proxy resolves host names). */
    QString scheme = QStringLiteral("http");
    QString host;
    int port = 0;
    QString user;
    QString password;
    /** Hosts reached without the manual proxy, comma-separated as no_proxy has them. */
    QString noProxy;

    static QStringList schemes()
    {
        return {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("socks5"), QStringLiteral("socks5h")};
    }

    /** A manual proxy can be used: a known scheme, a host and a port. */
    bool isComplete() const { return schemes().contains(scheme) && !host.isEmpty() && port > 0 && port <= 65535; }

    /** scheme://host:port, without the user and the password. */
    QString endpoint() const
    {
        QUrl url;
        url.setScheme(scheme);
        url.setHost(host);
        url.setPort(port);
        return url.toString(QUrl::FullyEncoded);
    }

    /** What a status line may say of it. */
    QString shown() const
    {
        switch (mode) {
        case Mode::None:
            return QStringLiteral("不使用代理");
        case Mode::System:
            return QStringLiteral("系统代理");
        case Mode::Manual:
            return user.isEmpty() ? endpoint() : QStringLiteral("%1 (用户 %2)").arg(endpoint(), user);
        }
        return QString();
    }

    /**
     * A manual proxy from aria2's --all-proxy form, scheme://[user[:password]@]host[:port]; a
     * missing scheme is http, a missing port the scheme's usual one. None, with why, for
     * anything else.
     */
    static std::optional<ProxySetting> fromUrl(const QString &text, QString &why)
    {
        const QString withScheme = text.contains(QLatin1String("://")) ? text : QStringLiteral("http://") + text;
        const QUrl url(withScheme, QUrl::StrictMode);
        ProxySetting proxy;
        proxy.mode = Mode::Manual;
        proxy.scheme = url.scheme().toLower();
        proxy.host = url.host();
        proxy.user = url.userName(QUrl::FullyDecoded);
        proxy.password = url.password(QUrl::FullyDecoded);
        proxy.port = url.port(defaultPort(proxy.scheme));
        if (!url.isValid() || !schemes().contains(proxy.scheme) || proxy.host.isEmpty()
            || (!url.path().isEmpty() && url.path() != QLatin1String("/"))) {
            why = QStringLiteral("代理应当写成 http://, https://, socks5:// 或 socks5h:// 加主机和端口");
            return std::nullopt;
        }
        return proxy;
    }

    static int defaultPort(const QString &scheme)
    {
        if (scheme == QLatin1String("http"))
            return 80;
        if (scheme == QLatin1String("https"))
            return 443;
        return 1080;
    }

    friend bool operator==(const ProxySetting &, const ProxySetting &) = default;
};

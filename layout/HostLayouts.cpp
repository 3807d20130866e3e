// SPDX-License-Identifier: MIT
#include "layout/HostLayouts.h"

#include <QUrl>

void HostLayouts::add(const HostLayout &layout)
{
    const auto shared = std::make_shared<const HostLayout>(layout);
    for (const QString &host : layout.hosts)
        m_byHost.insert(host, shared);
}

const HostLayout *HostLayouts::naming(const QString &host) const
{
    const auto found = m_byHost.constFind(host);
    return found == m_byHost.cend() ? nullptr : found->get();
}

const HostLayout *HostLayouts::forHost(const QString &host) const
{
    const QString name = host.toLower();
    if (name.isEmpty())
        return nullptr;
    if (const HostLayout *exact = naming(name))
        return exact;
    for (qsizetype dot = name.indexOf(u'.'); dot >= 0; dot = name.indexOf(u'.', dot + 1)) {
        if (const HostLayout *wildcard = naming(QStringLiteral("*") + name.sliced(dot)))
            return wildcard;
    }
    return nullptr;
}

const HostLayout *HostLayouts::forUrl(const QString &url) const
{
    return forHost(QUrl(url).host());
}

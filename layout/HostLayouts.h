// SPDX-License-Identifier: MIT
#pragma once

#include "layout/HostLayout.h"

#include <QHash>
#include <QString>

#include <memory>

/**
 * The layouts in force, by host. A host's own name wins over a wildcard, and a nearer wildcard
 * over a farther one; a layout added later takes the hosts it names from one added before. A host
 * no layout names has none, and the built-in reading applies to it. Thread contract: const
 * members on any thread.
 */
class HostLayouts final
{
public:
    void add(const HostLayout &layout);
    /** The layout for host, or nullptr. */
    const HostLayout *forHost(const QString &host) const;
    /** The layout for the host of url, or nullptr. */
    const HostLayout *forUrl(const QString &url) const;
    /** The layout that already names host exactly as written ("*.x" included), or nullptr. */
    const HostLayout *naming(const QString &host) const;
    bool isEmpty() const { return m_byHost.isEmpty(); }

private:
    QHash<QString, std::shared_ptr<const HostLayout>> m_byHost;
};

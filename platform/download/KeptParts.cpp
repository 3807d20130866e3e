// SPDX-License-Identifier: MIT
#include "platform/download/KeptParts.h"

#include <QFile>

KeptParts::~KeptParts()
{
    if (m_keepAtExit)
        return;
    for (const Part &part : std::as_const(m_parts))
        QFile::remove(part.partName);
}

void KeptParts::put(const QString &target, Part part)
{
    std::lock_guard lock(m_mutex);
    const auto earlier = m_parts.constFind(target);
    if (earlier != m_parts.cend() && earlier->partName != part.partName)
        QFile::remove(earlier->partName);
    m_parts.insert(target, std::move(part));
}

std::optional<KeptParts::Part> KeptParts::take(const QString &target)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_parts.constFind(target);
    if (found == m_parts.cend())
        return std::nullopt;
    Part part = *found;
    m_parts.erase(found);
    return part;
}

void KeptParts::discard(const QString &target)
{
    if (const auto part = take(target))
        QFile::remove(part->partName);
}

void KeptParts::keepAtExit(bool keep)
{
    std::lock_guard lock(m_mutex);
    m_keepAtExit = keep;
}

bool KeptParts::holds(const QString &partName)
{
    std::lock_guard lock(m_mutex);
    for (const Part &part : std::as_const(m_parts)) {
        if (part.partName == partName)
            return true;
    }
    return false;
}

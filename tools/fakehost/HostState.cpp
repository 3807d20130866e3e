// SPDX-License-Identifier: MIT
#include "tools/fakehost/HostState.h"

#include <cstdio>
#include <utility>

HostState::HostState() : m_random(std::random_device{}()) {}

std::string HostState::newSession()
{
    const std::lock_guard lock(m_mutex);
    std::string id = randomId();
    m_sessions[id];
    return id;
}

bool HostState::knowsSession(const std::string &session) const
{
    const std::lock_guard lock(m_mutex);
    return m_sessions.count(session) != 0;
}

FreeUserStep HostState::nextFreeUserStep(const std::string &session, const std::string &name,
                                         const FileOptions &options)
{
    const std::lock_guard lock(m_mutex);
    FileRecord &file = record(session, name);
    if (options.waitMinutes && !file.waitShown) {
        file.waitShown = true;
        return FreeUserStep::waitPage;
    }
    if (options.aboutMinutes && !file.aboutShown) {
        file.aboutShown = true;
        return FreeUserStep::aboutPage;
    }
    return FreeUserStep::countdownPage;
}

std::string HostState::issueTicket(FileTicket ticket)
{
    const std::lock_guard lock(m_mutex);
    std::string id = randomId();
    m_tickets.emplace(id, std::move(ticket));
    return id;
}

std::optional<FileTicket> HostState::ticket(const std::string &id) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_tickets.find(id);
    if (found == m_tickets.end())
        return std::nullopt;
    return found->second;
}

bool HostState::wasCut(const std::string &session, const std::string &name)
{
    const std::lock_guard lock(m_mutex);
    return record(session, name).cuts > 0;
}

void HostState::countCut(const std::string &session, const std::string &name)
{
    const std::lock_guard lock(m_mutex);
    ++record(session, name).cuts;
}

std::string HostState::randomId()
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(m_random()));
    return text;
}

HostState::FileRecord &HostState::record(const std::string &session, const std::string &name)
{
    return m_sessions[session][name];
}

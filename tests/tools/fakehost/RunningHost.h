// SPDX-License-Identifier: MIT
#pragma once

#include "tests/tools/fakehost/HostClient.h"
#include "tools/fakehost/FakeHost.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

/** A fixture with a fake host running in-process on an ephemeral port; its log is kept. */
class RunningHost : public ::testing::Test
{
protected:
    void SetUp() override { m_host.start(0); }

    int port() const { return m_host.port(); }
    std::string url(const std::string &path) const { return m_host.url(path); }
    void stopHost() { m_host.stop(); }

    std::vector<std::string> logLines()
    {
        const std::lock_guard lock(m_logMutex);
        return m_log;
    }

    /** The action of the first form whose action is an absolute address, entities decoded. */
    static std::string firstAbsoluteAction(const std::string &html)
    {
        const std::string marker = "action=\"http";
        const std::size_t start = html.find(marker);
        if (start == std::string::npos)
            return {};
        const std::size_t begin = start + marker.size() - 4;
        std::string action = html.substr(begin, html.find('"', begin) - begin);
        for (std::size_t at = action.find("&amp;"); at != std::string::npos; at = action.find("&amp;", at + 1))
            action.replace(at, 5, "&");
        return action;
    }

    /** Opens the file page at path and presses its "Free user" button; answers the page that follows. */
    std::string pressFreeUser(HostClient &client, const std::string &path)
    {
        const auto filePage = client.get(url(path));
        if (!filePage || filePage->status != 200) {
            ADD_FAILURE() << "file page " << path << " did not load";
            return {};
        }
        const auto next = client.post(firstAbsoluteAction(filePage->body));
        if (!next) {
            ADD_FAILURE() << "the Free-user step of " << path << " did not answer";
            return {};
        }
        return next->body;
    }

private:
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
    FakeHost m_host{HostDefaults{}, [this](const std::string &line) {
                        const std::lock_guard lock(m_logMutex);
                        m_log.push_back(line);
                    }};
};

// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/TDownloadFile.h"

#include <QThread>

#include <cstdint>
#include <functional>
#include <vector>

/** Records the transfer events of a component, with the thread each ran on. */
class EventLog
{
public:
    struct Event
    {
        enum Kind { Start, Progress, Finish };
        Kind kind;
        QObject *sender;
        QThread *thread;
        std::uint32_t received = 0;
        std::uint32_t total = 0;
        bool canceled = false;
    };

    explicit EventLog(TDownloadFile &component)
    {
        component.setOnStart([this](QObject *Sender) { add({Event::Start, Sender, QThread::currentThread()}); });
        component.setOnProgress([this](QObject *Sender, std::uint32_t received, std::uint32_t total) {
            add({Event::Progress, Sender, QThread::currentThread(), received, total});
        });
        component.setOnFinish([this](QObject *Sender, bool Canceled) {
            add({Event::Finish, Sender, QThread::currentThread(), 0, 0, Canceled});
        });
    }

    /** Runs inside each handler, after the event is recorded. */
    std::function<void(const Event &)> then = [](const Event &) {};
    std::vector<Event> events;

    bool finished() const { return !events.empty() && events.back().kind == Event::Finish; }

    /** Start, then only progress, then one finish; all on the UI thread from one worker. */
    void expectWellFormed(const QObject *component) const;

private:
    void add(const Event &event)
    {
        events.push_back(event);
        then(events.back());
    }
};

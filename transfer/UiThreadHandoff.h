// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

/**
 * The hand-off from a worker to the thread of a context object (the UI thread): blocking, the
 * worker waits until its call has run there; posted, it goes on at once.
 *
 * A Qt::BlockingQueuedConnection cannot be abandoned: a worker blocked in one when its owner is
 * destroyed stays blocked until the event loop runs again, so closing the program would have to
 * spin the event loop of a half-destroyed window to let the worker go. Here the wait also ends
 * when the owner detaches, and a call posted before that is dropped, never run. Calls run in the
 * order they were handed off, blocking and posted alike.
 *
 * Thread contract: run() from any thread; detach() and every call run on the context's thread.
 * Owner and worker share the object through std::shared_ptr (create it with std::make_shared).
 */
class UiThreadHandoff final : public std::enable_shared_from_this<UiThreadHandoff>
{
public:
    explicit UiThreadHandoff(QObject *context);

    /**
     * Runs call on the context's thread, directly when already there, and waits until it has
     * returned. Answers false at once, without running it, when the context has detached.
     * call must not throw.
     */
    bool run(std::function<void()> call);

    /**
     * Posts call to the context's thread and returns at once; it runs there unless the context
     * has detached by then. call must not throw.
     */
    void post(std::function<void()> call);

    /** From now on no call runs and no caller waits; the context may then be destroyed. */
    void detach();

private:
    void runPosted(const std::function<void()> &call, bool &ran);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    QObject *m_context;
};

// SPDX-License-Identifier: MIT
#include "transfer/UiThreadHandoff.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

UiThreadHandoff::UiThreadHandoff(QObject *context)
    : m_context(context)
{
}

bool UiThreadHandoff::run(std::function<void()> call)
{
    std::unique_lock lock(m_mutex);
    if (!m_context)
        return false;
    if (m_context->thread() == QThread::currentThread()) {
        // Waiting for our own thread would never end.
        lock.unlock();
        call();
        return true;
    }
    // The flag lives on the heap: a detached wait returns while the posted call may still be
    // queued, and that call must not reach into this stack frame.
    auto ran = std::make_shared<bool>(false);
    // Posting under the lock: detach() takes it too, so the context is alive while we post.
    QMetaObject::invokeMethod(
        m_context,
        [self = shared_from_this(), call = std::move(call), ran] { self->runPosted(call, *ran); },
        Qt::QueuedConnection);
    m_changed.wait(lock, [&] { return *ran || !m_context; });
    return *ran;
}

void UiThreadHandoff::post(std::function<void()> call)
{
    std::lock_guard lock(m_mutex);
    if (!m_context)
        return;
    auto ran = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        m_context, [self = shared_from_this(), call = std::move(call), ran] { self->runPosted(call, *ran); },
        Qt::QueuedConnection);
}

void UiThreadHandoff::runPosted(const std::function<void()> &call, bool &ran)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_context)
            return;
    }
    // Unlocked: the call may destroy the owner, which detaches.
    call();
    std::lock_guard lock(m_mutex);
    ran = true;
    m_changed.notify_all();
}

void UiThreadHandoff::detach()
{
    std::lock_guard lock(m_mutex);
    m_context = nullptr;
    m_changed.notify_all();
}

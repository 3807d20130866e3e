// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <functional>

/**
 * Runs the Qt event loop until done() holds or the budget is spent; answers whether done() held.
 * A test that could hang waits through this and fails instead.
 */
inline bool runWithinBudget(const std::function<bool()> &done, std::chrono::milliseconds budget)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > budget.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

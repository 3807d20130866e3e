// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/ErrorCode.h"

#include <QString>

#include <cstdint>
#include <functional>

class QObject;

// The download component's events. An empty function means "not set": the event is then not
// fired. Sender is the object that reports: the worker for the transfer events, the component
// for OnError. Sizes are KiB (bytes >> 10).
using TNotifyEvent = std::function<void(QObject *Sender)>;
using TProgressNotifyEvent =
    std::function<void(QObject *Sender, std::uint32_t ReceivedBytes, std::uint32_t CalculatedFileSize)>;
using TFinishNotifyEvent = std::function<void(QObject *Sender, bool Canceled)>;
using TErrorNotifyEvent = std::function<void(QObject *Sender, ErrorCode ECode, QString Msg)>;

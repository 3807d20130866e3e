// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboard/ClipboardReader.h"

#include <memory>

class QClipboard;

/** The reader that keeps the window free on this platform. UI thread only. */
std::unique_ptr<ClipboardReader> systemClipboardReader(QClipboard &clipboard);

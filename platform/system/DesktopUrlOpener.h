// SPDX-License-Identifier: MIT
#pragma once

#include "common/UrlOpener.h"

/** Opens addresses with the desktop's default browser or mail program. UI thread only. */
class DesktopUrlOpener final : public UrlOpener
{
public:
    void open(const QUrl &url) override;
};

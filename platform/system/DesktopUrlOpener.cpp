// SPDX-License-Identifier: MIT
#include "platform/system/DesktopUrlOpener.h"

#include <QDesktopServices>

void DesktopUrlOpener::open(const QUrl &url)
{
    // Without a registered browser or mail program nothing happens; that is all the user sees.
    QDesktopServices::openUrl(url);
}

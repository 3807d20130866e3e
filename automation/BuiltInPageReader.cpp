// SPDX-License-Identifier: MIT
#include "automation/BuiltInPageReader.h"

#include "automation/BrowserPageAccess.h"

BuiltInPageReader::BuiltInPageReader(const PageTextBuffer &buffer, MainUnitState &state, const Clock &clock)
    : m_scanners(buffer, state, clock)
{
}

bool BuiltInPageReader::press(PageBrowser &browser, int)
{
    return BrowserPageAccess::FillForm(browser, QStringLiteral("Free user"));
}

// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageReader.h"
#include "automation/PageScanners.h"

/** The pages Quorvel knows without a layout: the page scanners and "Free user". UI thread only. */
class BuiltInPageReader final : public PageReader
{
public:
    BuiltInPageReader(const PageTextBuffer &buffer, MainUnitState &state, const Clock &clock);

    PageAction findMissing() override { return m_scanners.FindError(); }
    PageAction findWait() override { return m_scanners.FindWait(); }
    PageAction findCountdown() override { return m_scanners.FindStill(); }
    PageAction findAbout() override { return m_scanners.FindAbout(); }
    bool press(PageBrowser &browser, int pressesSoFar) override;

private:
    PageScanners m_scanners;
};

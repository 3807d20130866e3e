// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class PageBrowser;
struct HostLayout;

/**
 * What a layout makes of the browser's page, for someone writing one: which file it is, each
 * rule's finding or why it found nothing, and the kind of page the flow would take it for, in
 * the flow's order. Nothing is pressed. UI thread (the document's thread).
 */
class LayoutReport final
{
public:
    static QString render(const HostLayout &layout, PageBrowser &browser);
    /** A layout file's summary once it parsed: its hosts and rules. */
    static QString summary(const HostLayout &layout);
};

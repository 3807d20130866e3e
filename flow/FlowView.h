// SPDX-License-Identifier: MIT
#pragma once

#include "flow/StatusTexts.h"

#include <QString>

/**
 * What the page flow and the transfer display show, and the one setting they read. The main
 * window implements it with its status bar and progress fields, the batch runner with console
 * lines. UI thread only.
 */
class FlowView
{
public:
    enum class Field { Size, Completed, Percent, Elapsed, Estimate };

    virtual ~FlowView() = default;

    /** Status bar panel 0, 1 or 2. */
    virtual void setStatusText(int panel, const QString &text) = 0;
    virtual void setStatusWidth(int panel, int pixels) = 0;
    /** SizeEdit, CmpEdit, percEdit, elpsEdit, EstEdit. */
    virtual void setField(Field field, const QString &text) = 0;
    /** The save folder (Edit2), as typed or chosen; may be empty. */
    virtual QString saveFolder() const = 0;
    /** An error that the operation did not handle: the error box. */
    virtual void showError(const QString &message) = 0;

    /** Empties the three status panels; their widths stay. */
    void clearStatus()
    {
        for (int panel = 0; panel < 3; ++panel)
            setStatusText(panel, QString());
    }

    /** A status text together with the panel width that goes with it. */
    void showStatus(int panel, const StatusText &status)
    {
        setStatusText(panel, status.text);
        setStatusWidth(panel, status.width);
    }
};

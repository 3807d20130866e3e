// SPDX-License-Identifier: MIT
#pragma once

#include "flow/FlowView.h"

/**
 * The view a session's objects hold: it passes everything on to the view attached to it, and
 * until one is, shows nothing and has no save folder. The main window is built on a session, so
 * it can become the view only after the session exists. UI thread only.
 */
class FlowViewRelay final : public FlowView
{
public:
    void attach(FlowView *view) { m_view = view; }
    void detach(const FlowView *view)
    {
        if (m_view == view)
            m_view = nullptr;
    }

    void setStatusText(int panel, const QString &text) override
    {
        if (m_view)
            m_view->setStatusText(panel, text);
    }
    void setStatusWidth(int panel, int pixels) override
    {
        if (m_view)
            m_view->setStatusWidth(panel, pixels);
    }
    void setField(Field field, const QString &text) override
    {
        if (m_view)
            m_view->setField(field, text);
    }
    QString saveFolder() const override { return m_view ? m_view->saveFolder() : QString(); }
    void showError(const QString &message) override
    {
        if (m_view)
            m_view->showError(message);
    }

private:
    FlowView *m_view = nullptr;
};

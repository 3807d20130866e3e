// SPDX-License-Identifier: MIT
#pragma once

#include "app/TForm1.h"
#include "tests/automation/FakePageBrowser.h"
#include "tests/automation/ManualClock.h"
#include "tests/power/FakePowerRequest.h"
#include "tests/transfer/ScriptedService.h"
#include "common/UrlOpener.h"
#include "queue/DownloadQueue.h"

#include <QDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/** A main window over a fresh queue, with HOME in a temporary folder and no browser. */
class MainWindowFixture : public testing::Test
{
protected:
    class NoOpener final : public UrlOpener
    {
    public:
        void open(const QUrl &) override {}
    };

    MainWindowFixture();
    ~MainWindowFixture() override;

    QString defaultFolder() const;
    /** Shows the window and makes it active, so that its shortcuts work. */
    void activate();
    /** Closes whatever modal widget handle is given, without pressing anything in it. */
    static void dismiss(QWidget *modal);

    QByteArray m_oldHome;
    QTemporaryDir home;
    DownloadQueue queue;
    NoOpener opener;
    FakePageBrowser browser;
    ScriptedService downloads{[](UrlDownloadCallback &) { return TransferOutcome::done(); }};
    FakePowerRequest power;
    ManualClock clock;
    TForm1 *form;
};

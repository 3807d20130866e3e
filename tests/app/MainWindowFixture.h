// SPDX-License-Identifier: MIT
#pragma once

#include "FakeClipboardReader.h"
#include "app/TForm1.h"
#include "common/UrlOpener.h"
#include "flow/DownloadSession.h"
#include "platform/system/DownloadFolder.h"
#include "queue/DownloadQueue.h"
#include "tests/support/FakePageBrowser.h"
#include "tests/support/FakePowerRequest.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScriptedService.h"

#include <QDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/** A main window over a fresh queue, with HOME in a temporary folder and no browser. */
class MainWindowFixture : public testing::Test
{
protected:
    /** Keeps what the window hands to the desktop instead of starting a browser. */
    class RecordingOpener final : public UrlOpener
    {
    public:
        void open(const QUrl &url) override { opened.append(url); }
        QList<QUrl> opened;
    };

    MainWindowFixture();
    ~MainWindowFixture() override;

    QString defaultFolder() const;
    /** Shows the window and makes it active, so that its shortcuts work. */
    void activate();
    /** Closes whatever modal widget handle is given, without pressing anything in it. */
    static void dismiss(QWidget *modal);

    QByteArray m_oldHome = qgetenv("HOME");
    QTemporaryDir home;
    // Before the session, which takes its default folder from HOME.
    bool m_homeMoved = qputenv("HOME", home.path().toUtf8());
    RecordingOpener opener;
    FakeClipboardReader pasteReader;
    FakeClipboardReader watchReader;
    FakePageBrowser browser;
    ScriptedService downloads{[](UrlDownloadCallback &) { return TransferOutcome::done(); }};
    FakePowerRequest power;
    ManualClock clock;
    DownloadSession session{{browser, downloads, power, clock, nullptr, DownloadFolder::defaultPath()}};
    DownloadQueue &queue = session.queue();
    TForm1 *form;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "dialogs/FormRefs.h"
#include "dialogs/OptionsLinks.h"
#include "queue/DownloadQueue.h"

#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/**
 * What the dialogs reach in the main window, made of plain parts: the queue, a save-folder field,
 * a start counter, and a temporary HOME so the default folder lands somewhere harmless.
 */
class DialogFixture : public testing::Test
{
protected:
    DialogFixture()
        : m_oldHome(qgetenv("HOME"))
    {
        qputenv("HOME", home.path().toUtf8());
    }
    ~DialogFixture() override { qputenv("HOME", m_oldHome); }

    QTemporaryDir home;
    DownloadQueue queue;
    QLineEdit edit2;
    int starts = 0;
    OptionsLinks links{queue, edit2, [this] { ++starts; }};
    FormRefs forms;

private:
    QByteArray m_oldHome;
};

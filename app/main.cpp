// SPDX-License-Identifier: MIT
// The composition root: builds the long-lived objects and hands them down by reference.
#include "app/AppSetup.h"
#include "app/TForm1.h"
#include "platform/system/DesktopUrlOpener.h"
#include "queue/DownloadQueue.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    AppSetup::apply();
    DownloadQueue queue;
    DesktopUrlOpener opener;
    TForm1 Form1(queue, opener);
    Form1.show();
    return QApplication::exec();
}

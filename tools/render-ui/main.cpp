// SPDX-License-Identifier: MIT
// Renders the main window and the dialogs to PNG files, for looking at them without a display:
// quorvel-render-ui OUTDIR (run with QT_QPA_PLATFORM=offscreen).
#include "app/AppSetup.h"
#include "app/TForm1.h"
#include "automation/Clock.h"
#include "common/UrlOpener.h"
#include "dialogs/TForm2.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm4.h"
#include "flow/DownloadSession.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "platform/web/WebBrowser.h"
#include "power/NoPowerRequest.h"
#include "queue/DownloadQueue.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

namespace {

// The About box's links are never clicked here; nothing must reach a browser.
class NoOpener final : public UrlOpener
{
public:
    void open(const QUrl &) override {}
};

bool render(QWidget &window, const QString &path)
{
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(path);
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << Qt::endl;
    window.hide();
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    AppSetup::apply();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: quorvel-render-ui OUTDIR" << Qt::endl;
        return 2;
    }
    const QDir out(arguments.at(1));
    if (!QDir().mkpath(out.path()))
        return 1;

    NoOpener opener;
    // Real services, never used: nothing here loads a page or fetches a file.
    CurlSession session;
    WebBrowser browser(session);
    CurlUrlDownloadService downloads(session);
    NoPowerRequest power;
    SystemClock clock;
    DownloadSession downloadSession({browser, downloads, power, clock, nullptr, QString()});
    DownloadQueue &queue = downloadSession.queue();
    TForm1 Form1(downloadSession, opener);
    queue.appendAll({QStringLiteral("https://files.example.org/files/1001/setup.zip"),
                     QStringLiteral("https://files.example.org/files/1002/manual.pdf")});
    queue.showHead();
    OptionsLinks links{queue, *Form1.Edit2, [] {}};
    TForm2 options(Form1.forms(), links, &Form1);
    TForm4 folders(Form1.forms(), &Form1);
    TForm3 about(opener, &Form1);
    options.setSavePath(QDir::homePath() + QStringLiteral("/Quorvel/Downloads"));
    folders.selectPath(QDir::homePath());

    bool ok = render(Form1, out.filePath(QStringLiteral("main-window.png")));
    ok = render(options, out.filePath(QStringLiteral("options-dialog.png"))) && ok;
    ok = render(folders, out.filePath(QStringLiteral("folder-browser.png"))) && ok;
    ok = render(about, out.filePath(QStringLiteral("about-box.png"))) && ok;
    return ok ? 0 : 1;
}

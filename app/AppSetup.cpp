// SPDX-License-Identifier: MIT
#include "app/AppSetup.h"

#include "app/CommandIcons.h"
#include "common/ErrorText.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

const char *const helpText = R"(用法: quorvel [选项] [网址 | 列表文件]...

打开 Quorvel 下载管理器的主窗口: 用"新建下载"或"输入列表"加入下载页面网址,
然后按"开始下载". 命令行中的网址和列表文件 (每行一个网址的文本文件) 加入下载列表.
主窗口已经打开时, 它们经会话总线 (D-Bus) 交给那个窗口, 不再打开第二个窗口;
没有会话总线时, 另一个 Quorvel 已经打开就报错退出. 主窗口需要显示器 (X11 或 Wayland);
没有显示器的机器请用 quorvel-batch (quorvel-batch --help 显示用法).

选项:
  -h, --help    显示此帮助
  -v, --version 显示版本
)";

const char *const noDisplayText =
    "quorvel: 不能打开主窗口: 没有可用的显示器 (DISPLAY 或 WAYLAND_DISPLAY 没有设置, 或者连接不上).\n"
    "没有显示器时请用 quorvel-batch 下载 (quorvel-batch --help 显示用法), 或者在图形桌面中运行 quorvel.\n";

QtMessageHandler qtHandler = nullptr;

// Qt ends a failed start of its platform plugin with a fatal message and abort(); this says
// instead what to do, and ends without a core.
void endWithoutDisplay(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        qtHandler(type, context, message);
        return;
    }
    std::fputs(noDisplayText, stderr);
    std::_Exit(1);
}

} // namespace

std::optional<QString> AppSetup::commandLineAnswer(const QStringList &arguments)
{
    // Looked for by hand: Qt's parser would refuse the options QApplication takes for itself.
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return QString::fromUtf8(helpText);
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            return QStringLiteral("quorvel " QUORVEL_VERSION "\n");
    }
    return std::nullopt;
}

QStringList AppSetup::linkArguments(const QStringList &arguments)
{
    // Qt's options that take the next argument as their value.
    static const QStringList valued = {
        QStringLiteral("-platform"),        QStringLiteral("-platformpluginpath"),
        QStringLiteral("-platformtheme"),   QStringLiteral("-plugin"),
        QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowicon"),
        QStringLiteral("-qwindowtitle"),    QStringLiteral("-display"),
        QStringLiteral("-style"),           QStringLiteral("-stylesheet"),
        QStringLiteral("-session"),         QStringLiteral("-name"),
        QStringLiteral("-title"),           QStringLiteral("-geometry"),
    };
    QStringList links;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(u'-')) {
            if (valued.contains(argument) || valued.contains(argument.mid(1)))
                ++i;
            continue;
        }
        const QUrl url(argument);
        if (url.isLocalFile())
            links << QFileInfo(url.toLocalFile()).absoluteFilePath();
        else if (argument.contains(QLatin1String("://")))
            links << argument;
        else
            links << QFileInfo(argument).absoluteFilePath();
    }
    return links;
}

std::unique_ptr<QApplication> AppSetup::openDisplay(int &argc, char **argv)
{
    qtHandler = qInstallMessageHandler(endWithoutDisplay);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(qtHandler);
    return application;
}

void AppSetup::apply()
{
    // The name, not the display name: Qt appends a display name to every window title.
    QApplication::setApplicationName(appTitle());
    QApplication::setWindowIcon(CommandIcons::windowIcon());
    QApplication::setFont(windowFont());
    translateQt();
}

QFont AppSetup::windowFont()
{
    const QString simSun = QStringLiteral("SimSun");
    QFont::insertSubstitution(simSun, QStringLiteral("Noto Serif CJK SC"));
    QFont::insertSubstitution(simSun, QStringLiteral("WenQuanYi Zen Hei"));
    return QFont(simSun, 9);
}

// The window speaks Chinese whatever the system's language, so the file dialog, the text fields'
// context menus and the message boxes' buttons must too. Without Debian's translation package
// they stay English; the program works all the same.
void AppSetup::translateQt()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// SPDX-License-Identifier: MIT
#include "app/AppSetup.h"

#include "app/CommandIcons.h"
#include "common/ErrorText.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

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

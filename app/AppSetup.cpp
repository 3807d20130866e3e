// SPDX-License-Identifier: MIT
#include "app/AppSetup.h"

#include "app/CommandIcons.h"
#include "common/ErrorText.h"

#include <QApplication>
#include <QFont>

void AppSetup::apply()
{
    // The name, not the display name: Qt appends a display name to every window title.
    QApplication::setApplicationName(appTitle());
    QApplication::setWindowIcon(CommandIcons::windowIcon());
    const QString simSun = QStringLiteral("SimSun");
    QFont::insertSubstitution(simSun, QStringLiteral("Noto Serif CJK SC"));
    QFont::insertSubstitution(simSun, QStringLiteral("WenQuanYi Zen Hei"));
    QApplication::setFont(QFont(simSun, 9));
}

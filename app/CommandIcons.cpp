// SPDX-License-Identifier: MIT
#include "app/CommandIcons.h"

#include <array>
#include <utility>

namespace {
// Freedesktop icon name and bundled picture for each image number.
constexpr std::array<std::pair<const char *, const char *>, CommandIcons::imageCount> images = {{
    {"document-new", "new"},           {"edit-delete", "delete"},
    {"media-playback-start", "start"}, {"document-open", "import"},
    {"help-about", "about"},           {"folder", "folder"},
    {"edit-find", "find"},             {"edit-cut", "cut"},
    {"application-exit", "exit"},      {"go-down", "down"},
    {"go-up", "up"},                   {"go-top", "first"},
    {"go-bottom", "last"},             {"media-playback-stop", "stop"},
    {"edit-clear", "clear"},           {"edit-undo", "undo"},
    {"edit-copy", "copy"},             {"system-shutdown", "shutdown"},
    {"edit-paste", "paste"},
}};
} // namespace

QIcon CommandIcons::image(int index)
{
    const auto &[themeName, bundledName] = images.at(std::size_t(index));
    return themed(themeName, bundledName);
}

QIcon CommandIcons::shutGlyph()
{
    // Not themed: it must look different from the menu's power-off picture.
    return bundled(QStringLiteral("armed"));
}

QIcon CommandIcons::windowIcon()
{
    return bundled(QStringLiteral("quorvel"));
}

QIcon CommandIcons::bundled(const QString &name)
{
    // The pictures live in a static library, whose resources are registered only on request.
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/icons/icons/%1.xpm").arg(name));
}

QIcon CommandIcons::themed(const char *themeName, const char *bundledName)
{
    return QIcon::fromTheme(QLatin1String(themeName), bundled(QLatin1String(bundledName)));
}

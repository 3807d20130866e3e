// SPDX-License-Identifier: MIT
#include "layout/LayoutLoader.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

QStringList LayoutLoader::standardFolders()
{
    // Where the package puts its layouts (cmake/Packaging.cmake), whatever the build's prefix.
    return {u"/usr/share/quorvel/layouts"_s,
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/quorvel/layouts"_s};
}

LayoutParser::Result LayoutLoader::loadFile(const QString &path, const PatternCompiler &compiler)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LayoutError{path, 0, u"不能读取: %1"_s.arg(file.errorString())};
    // One byte past the bound is enough to refuse a file of any size without holding it.
    const QByteArray bytes = file.read(LayoutParser::maxFileBytes + 1);
    return LayoutParser::parse(path, bytes, compiler);
}

LoadedLayouts LayoutLoader::load(const QStringList &folders, const PatternCompiler &compiler)
{
    LoadedLayouts loaded;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        QStringList names = dir.entryList({u"*.layout"_s}, QDir::Files | QDir::Readable, QDir::Name);
        if (names.size() > maxFilesPerFolder) {
            loaded.errors.append({folder, 0, u"布局超过 %1 个; 只读取前 %1 个"_s.arg(maxFilesPerFolder)});
            names.resize(maxFilesPerFolder);
        }
        HostLayouts folderLayouts;
        for (const QString &name : names) {
            LayoutParser::Result result = loadFile(dir.filePath(name), compiler);
            if (auto *error = std::get_if<LayoutError>(&result)) {
                loaded.errors.append(*error);
                continue;
            }
            const HostLayout &layout = std::get<HostLayout>(result);
            const auto taken = std::find_if(layout.hosts.cbegin(), layout.hosts.cend(),
                                            [&](const QString &host) { return folderLayouts.naming(host); });
            if (taken != layout.hosts.cend()) {
                loaded.errors.append({layout.source, 0,
                                      u"主机 \"%1\" 已由 %2 列出"_s.arg(*taken, folderLayouts.naming(*taken)->source)});
                continue;
            }
            folderLayouts.add(layout);
            loaded.layouts.add(layout);
        }
    }
    return loaded;
}

#include "app/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef LUMORA_PLUGIN_RELATIVE_DIR
#define LUMORA_PLUGIN_RELATIVE_DIR "../lib/lumora"
#endif

namespace lumora {

QString InstallLayout::pluginFolder(const QString &executableFolder)
{
    const QDir here(executableFolder);
    if (QFileInfo::exists(here.filePath(QStringLiteral("LumoraAddIn.so"))))
        return here.absolutePath();
    return QDir::cleanPath(here.absoluteFilePath(relativePluginFolder()));
}

QString InstallLayout::relativePluginFolder()
{
    return QStringLiteral(LUMORA_PLUGIN_RELATIVE_DIR);
}

QString InstallLayout::pluginFolder()
{
    return pluginFolder(QCoreApplication::applicationDirPath());
}

} // namespace lumora

#include "app/SysInfoRegistration.h"

#include "settings/modRegistry.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace lumora {

const QString SysInfoRegistration::Key = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SysInfoRegistration::Value = QStringLiteral("PATH");

QStringList SysInfoRegistration::candidates()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("lshw-gtk")};
}

QString SysInfoRegistration::registerInstalled()
{
    const QString current = modRegistry::ReadRegistryValue(reg::HKEY_LOCAL_MACHINE, Key, Value).toString();
    const QFileInfo registered(current);
    if (!current.isEmpty() && registered.isFile() && registered.isExecutable())
        return current;
    for (const QString &name : candidates()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty())
            continue;
        if (!modRegistry::WriteRegistryValue(reg::HKEY_LOCAL_MACHINE, Key, Value, path, reg::REG_SZ))
            return QString();
        return path;
    }
    return QString();
}

} // namespace lumora

#include "props/PropsPlugin.h"

#include "platform/core/Registry.h"
#include "props/ctlLumora.h"
#include "settings/modRegistry.h"

namespace lumora {

using namespace reg;

const QString PropsPlugin::ProgId = QStringLiteral("LumoraProps.ctlLumora");
const QString PropsPlugin::ClassId = QStringLiteral("{3F8B2C71-5D4E-4A96-B1C0-7E2A9D6F4B18}");

PropsPlugin::PropsPlugin(QObject *parent)
    : QObject(parent)
{
}

QStringList PropsPlugin::progIds() const
{
    return {ProgId};
}

QObject *PropsPlugin::CreateObject(const QString &progId)
{
    if (progId.compare(ProgId, Qt::CaseInsensitive) != 0)
        return nullptr;
    return new ctlLumora;
}

bool PropsPlugin::DllRegisterServer(const QString &libraryPath)
{
    const QString classKey = QStringLiteral("CLSID\\") + ClassId;
    const auto set = [](const QString &path, const QString &value) {
        return modRegistry::WriteRegistryValue(HKEY_CLASSES_ROOT, path, QString(), value, REG_SZ);
    };
    bool ok = set(ProgId, ProgId);
    ok = set(ProgId + QStringLiteral("\\CLSID"), ClassId) && ok;
    ok = set(classKey, ProgId) && ok;
    ok = set(classKey + QStringLiteral("\\ProgID"), ProgId) && ok;
    ok = set(classKey + QStringLiteral("\\InprocServer32"), libraryPath) && ok;
    return ok;
}

bool PropsPlugin::DllUnregisterServer()
{
    bool ok = RegDeleteKeyA(HKEY_CLASSES_ROOT, ProgId) == ERROR_SUCCESS;
    ok = RegDeleteKeyA(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\") + ClassId) == ERROR_SUCCESS && ok;
    return ok;
}

QString PropsPlugin::RegisteredPath()
{
    return modRegistry::ReadRegistryValue(
               HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\") + ClassId + QStringLiteral("\\InprocServer32"), QString())
        .toString();
}

} // namespace lumora

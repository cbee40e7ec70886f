#include "addin/AddInRegistration.h"

#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "settings/modRegistry.h"

namespace lumora {

using namespace reg;

const QString AddInRegistration::ProgId = QStringLiteral("Lumora.Connect");
const QString AddInRegistration::ClassId = QStringLiteral("{6D1C3E52-8A0B-4F7E-9C2D-1B5A7E3F9D41}");
const QString AddInRegistration::FriendlyName = QStringLiteral("Lumora Add-In");
const QString AddInRegistration::Description =
    QStringLiteral("Lumora is an Outlook Add-in that provides enhanced mail notifications from the system tray.");
const QString AddInRegistration::AddinsKey = QStringLiteral("Software\\Microsoft\\Office\\Outlook\\Addins");

namespace {

bool setString(HKEY root, const QString &path, const QString &name, const QString &value)
{
    return modRegistry::WriteRegistryValue(root, path, name, value, REG_SZ);
}

bool setDword(HKEY root, const QString &path, const QString &name, DWORD value)
{
    return modRegistry::WriteRegistryValue(root, path, name, qint64(value), REG_DWORD);
}

} // namespace

bool AddInRegistration::Register(const QString &libraryPath)
{
    const QString classKey = QStringLiteral("CLSID\\") + ClassId;
    const QString addinKey = AddinsKey + QLatin1Char('\\') + ProgId;
    // One registration, one save of each file (the classes live in the user's file).
    RegistryStore::Batch user(RegistryStore::Root::CurrentUser);
    RegistryStore::Batch machine(RegistryStore::Root::LocalMachine);
    bool ok = setString(HKEY_CLASSES_ROOT, ProgId, QString(), ProgId);
    ok = setString(HKEY_CLASSES_ROOT, ProgId + QStringLiteral("\\CLSID"), QString(), ClassId) && ok;
    ok = setString(HKEY_CLASSES_ROOT, classKey, QString(), ProgId) && ok;
    ok = setString(HKEY_CLASSES_ROOT, classKey + QStringLiteral("\\ProgID"), QString(), ProgId) && ok;
    ok = setString(HKEY_CLASSES_ROOT, classKey + QStringLiteral("\\InprocServer32"), QString(), libraryPath) && ok;
    ok = setString(HKEY_CURRENT_USER, addinKey, QStringLiteral("FriendlyName"), FriendlyName) && ok;
    ok = setString(HKEY_CURRENT_USER, addinKey, QStringLiteral("Description"), Description) && ok;
    ok = setDword(HKEY_CURRENT_USER, addinKey, QStringLiteral("LoadBehavior"), 3) && ok;
    ok = setDword(HKEY_LOCAL_MACHINE, addinKey, QStringLiteral("LoadBehavior"), 3) && ok;
    ok = user.commit() && ok;
    return machine.commit() && ok;
}

bool AddInRegistration::Unregister()
{
    const QString addinKey = AddinsKey + QLatin1Char('\\') + ProgId;
    bool ok = RegDeleteKeyA(HKEY_CLASSES_ROOT, ProgId) == ERROR_SUCCESS;
    ok = RegDeleteKeyA(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\") + ClassId) == ERROR_SUCCESS && ok;
    ok = RegDeleteKeyA(HKEY_CURRENT_USER, addinKey) == ERROR_SUCCESS && ok;
    ok = RegDeleteKeyA(HKEY_LOCAL_MACHINE, addinKey) == ERROR_SUCCESS && ok;
    return ok;
}

QString AddInRegistration::RegisteredPath()
{
    return modRegistry::ReadRegistryValue(
               HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\") + ClassId + QStringLiteral("\\InprocServer32"), QString())
        .toString();
}

} // namespace lumora

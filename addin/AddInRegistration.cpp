#include "addin/AddInRegistration.h"

#include "platform/Registry.h"

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
    HKEY key = 0;
    if (RegCreateKeyA(root, path, &key) != ERROR_SUCCESS)
        return false;
    const QByteArray bytes = value.toUtf8() + '\0';
    const LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const unsigned char *>(bytes.constData()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool setDword(HKEY root, const QString &path, const QString &name, DWORD value)
{
    HKEY key = 0;
    if (RegCreateKeyA(root, path, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const unsigned char *>(&value),
                                       sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

QString readString(HKEY root, const QString &path, const QString &name)
{
    HKEY key = 0;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return QString();
    DWORD type = 0;
    DWORD size = 0;
    QString result;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ && size > 0
        && size < 65536) {
        QByteArray bytes(static_cast<qsizetype>(size), '\0');
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<unsigned char *>(bytes.data()), &size)
            == ERROR_SUCCESS) {
            bytes.truncate(static_cast<qsizetype>(size));
            while (bytes.endsWith('\0'))
                bytes.chop(1);
            result = QString::fromUtf8(bytes);
        }
    }
    RegCloseKey(key);
    return result;
}

} // namespace

bool AddInRegistration::Register(const QString &libraryPath)
{
    const QString classKey = QStringLiteral("CLSID\\") + ClassId;
    const QString addinKey = AddinsKey + QLatin1Char('\\') + ProgId;
    bool ok = setString(HKEY_CLASSES_ROOT, ProgId, QString(), ProgId);
    ok = setString(HKEY_CLASSES_ROOT, ProgId + QStringLiteral("\\CLSID"), QString(), ClassId) && ok;
    ok = setString(HKEY_CLASSES_ROOT, classKey, QString(), ProgId) && ok;
    ok = setString(HKEY_CLASSES_ROOT, classKey + QStringLiteral("\\ProgID"), QString(), ProgId) && ok;
    ok = setString(HKEY_CLASSES_ROOT, classKey + QStringLiteral("\\InprocServer32"), QString(), libraryPath) && ok;
    ok = setString(HKEY_CURRENT_USER, addinKey, QStringLiteral("FriendlyName"), FriendlyName) && ok;
    ok = setString(HKEY_CURRENT_USER, addinKey, QStringLiteral("Description"), Description) && ok;
    ok = setDword(HKEY_CURRENT_USER, addinKey, QStringLiteral("LoadBehavior"), 3) && ok;
    ok = setDword(HKEY_LOCAL_MACHINE, addinKey, QStringLiteral("LoadBehavior"), 3) && ok;
    return ok;
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
    return readString(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\") + ClassId + QStringLiteral("\\InprocServer32"),
                      QString());
}

} // namespace lumora

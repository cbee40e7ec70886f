// A plugin library of the current contract, for the factory's tests: it creates one
// prog-id and writes or removes that prog-id's registration.
#include "host/ComponentPlugin.h"

#include "platform/core/Registry.h"

#include <QObject>

namespace {

const QString kProgId = QStringLiteral("LumoraTest.Widget");
const QString kClsid = QStringLiteral("{0D5C3B1A-7E44-4F0B-9C2E-61A8F3D2B9E7}");

bool setDefault(const QString &subKey, const QString &value)
{
    using namespace lumora::reg;
    HKEY key = 0;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, subKey, &key) != ERROR_SUCCESS)
        return false;
    QByteArray data = value.toUtf8();
    data.append('\0');
    const bool ok = RegSetValueExA(key, QString(), 0, REG_SZ, reinterpret_cast<const unsigned char *>(data.constData()),
                                   DWORD(data.size()))
        == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

} // namespace

class ComponentTestPlugin : public QObject, public lumora::host::ComponentPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LumoraComponentPlugin_iid)
    Q_INTERFACES(lumora::host::ComponentPlugin)
public:
    QStringList progIds() const override { return {kProgId}; }

    QObject *CreateObject(const QString &progId) override
    {
        if (progId.compare(kProgId, Qt::CaseInsensitive) != 0)
            return nullptr;
        auto *object = new QObject;
        object->setObjectName(QStringLiteral("test widget"));
        return object;
    }

    bool DllRegisterServer(const QString &libraryPath) override
    {
        return setDefault(kProgId + QLatin1String("\\CLSID"), kClsid)
            && setDefault(QLatin1String("CLSID\\") + kClsid + QLatin1String("\\InprocServer32"), libraryPath);
    }

    bool DllUnregisterServer() override
    {
        using namespace lumora::reg;
        const bool a = RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgId) == ERROR_SUCCESS;
        const bool b = RegDeleteKeyA(HKEY_CLASSES_ROOT, QLatin1String("CLSID\\") + kClsid) == ERROR_SUCCESS;
        return a && b;
    }
};

#include "ComponentTestPlugin.moc"

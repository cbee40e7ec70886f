#include "host/ComponentFactory.h"

#include "host/ComponentPlugin.h"
#include "host/FileLogging.h"
#include "host/HostSafeMailItem.h"

#include "platform/core/Registry.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>

namespace lumora::host {

namespace {

const QString kBuiltin = QStringLiteral("builtin");

struct Builtin
{
    const char *progId;
    const char *clsid;
    QObject *(*create)();
};

const Builtin kBuiltins[] = {
    {FileLogging::ProgId, "{6F1C2A4E-3B7D-4E52-9A60-2D8B1E4C7F31}", []() -> QObject * { return new FileLogging; }},
    {HostSafeMailItem::ProgId, "{B3E58D27-91A4-4C6F-8E12-5A7D0C9B3E64}",
     []() -> QObject * { return new HostSafeMailItem; }},
};

// Registry data is untrusted: a name with a backslash would reach into another key.
bool isPlainKeyName(const QString &name)
{
    return !name.isEmpty() && name.size() <= 255 && !name.contains(QLatin1Char('\\'));
}

// The default (unnamed) string value of a key, or empty.
QString readDefault(const QString &subKey)
{
    reg::HKEY key = 0;
    if (reg::RegOpenKeyExA(reg::HKEY_CLASSES_ROOT, subKey, 0, reg::KEY_READ, &key) != reg::ERROR_SUCCESS)
        return {};
    QString value;
    reg::DWORD type = 0;
    reg::DWORD size = 0;
    constexpr reg::DWORD kMaxSize = 64 * 1024;
    if (reg::RegQueryValueExA(key, QString(), nullptr, &type, nullptr, &size) == reg::ERROR_SUCCESS
        && (type == reg::REG_SZ || type == reg::REG_EXPAND_SZ) && size > 0 && size <= kMaxSize) {
        QByteArray data(qsizetype(size), '\0');
        reg::DWORD got = size;
        if (reg::RegQueryValueExA(key, QString(), nullptr, &type, reinterpret_cast<unsigned char *>(data.data()), &got)
                == reg::ERROR_SUCCESS
            && got <= size) {
            data.truncate(got);
            const qsizetype nul = data.indexOf('\0');
            if (nul >= 0)
                data.truncate(nul);
            value = QString::fromUtf8(data);
        }
    }
    reg::RegCloseKey(key);
    return value;
}

bool writeDefault(const QString &subKey, const QString &value)
{
    reg::HKEY key = 0;
    if (reg::RegCreateKeyA(reg::HKEY_CLASSES_ROOT, subKey, &key) != reg::ERROR_SUCCESS)
        return false;
    QByteArray data = value.toUtf8();
    data.append('\0');
    const bool ok =
        reg::RegSetValueExA(key, QString(), 0, reg::REG_SZ, reinterpret_cast<const unsigned char *>(data.constData()),
                            reg::DWORD(data.size()))
        == reg::ERROR_SUCCESS;
    reg::RegCloseKey(key);
    return ok;
}

void explain(const QString &progId, const QString &why)
{
    qWarning().noquote() << QStringLiteral("Component %1 is not available: %2").arg(progId, why);
}

} // namespace

ComponentFactory::ComponentFactory() = default;

// The loaders are deliberately not unloaded: objects created from them may still be alive.
ComponentFactory::~ComponentFactory()
{
    qDeleteAll(m_loaders);
}

ComponentFactory &ComponentFactory::global()
{
    static ComponentFactory factory;
    return factory;
}

bool ComponentFactory::registerBuiltins()
{
    bool ok = true;
    for (const Builtin &builtin : kBuiltins) {
        const QString progId = QString::fromLatin1(builtin.progId);
        const QString clsid = QString::fromLatin1(builtin.clsid);
        ok = writeDefault(progId + QLatin1String("\\CLSID"), clsid) && ok;
        ok = writeDefault(QLatin1String("CLSID\\") + clsid + QLatin1String("\\ProgID"), progId) && ok;
        ok = writeDefault(QLatin1String("CLSID\\") + clsid + QLatin1String("\\InprocServer32"), kBuiltin) && ok;
    }
    return ok;
}

QObject *ComponentFactory::CreateObject(const QString &progId)
{
    if (!isPlainKeyName(progId)) {
        explain(progId, QStringLiteral("the name is not a valid prog-id"));
        return nullptr;
    }
    const QString clsid = readDefault(progId + QLatin1String("\\CLSID"));
    if (!isPlainKeyName(clsid)) {
        explain(progId, QStringLiteral("it is not registered"));
        return nullptr;
    }
    const QString server = readDefault(QLatin1String("CLSID\\") + clsid + QLatin1String("\\InprocServer32"));
    if (server.isEmpty()) {
        explain(progId, QStringLiteral("class %1 names no library").arg(clsid));
        return nullptr;
    }
    if (server.compare(kBuiltin, Qt::CaseInsensitive) == 0) {
        for (const Builtin &builtin : kBuiltins) {
            if (clsid.compare(QLatin1String(builtin.clsid), Qt::CaseInsensitive) == 0)
                return builtin.create();
        }
        explain(progId, QStringLiteral("class %1 is not one of the host's own").arg(clsid));
        return nullptr;
    }
    ComponentPlugin *component = plugin(server, progId);
    if (!component)
        return nullptr;
    QObject *object = component->CreateObject(progId);
    if (!object)
        explain(progId, QStringLiteral("library %1 does not create it").arg(server));
    return object;
}

bool ComponentFactory::registerLibrary(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    ComponentPlugin *component = plugin(absolute, absolute);
    return component && component->DllRegisterServer(absolute);
}

bool ComponentFactory::unregisterLibrary(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    ComponentPlugin *component = plugin(absolute, absolute);
    return component && component->DllUnregisterServer();
}

ComponentPlugin *ComponentFactory::plugin(const QString &path, const QString &forWhat)
{
    // A bare or relative name is looked for beside the host, where the build puts plugins.
    QString file = path;
    if (QFileInfo(file).isRelative())
        file = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(file);
    const QFileInfo info(file);
    if (!info.isFile()) {
        explain(forWhat, QStringLiteral("library %1 is missing").arg(file));
        return nullptr;
    }
    const QString key = info.canonicalFilePath();
    QPluginLoader *loader = m_loaders.value(key);
    if (!loader) {
        loader = new QPluginLoader(key);
        m_loaders.insert(key, loader);
    }
    QObject *instance = loader->instance();
    if (!instance) {
        explain(forWhat, QStringLiteral("library %1 cannot be loaded (%2)").arg(key, loader->errorString()));
        return nullptr;
    }
    auto *component = qobject_cast<ComponentPlugin *>(instance);
    if (!component) {
        const QString iid = loader->metaData().value(QLatin1String("IID")).toString();
        explain(forWhat,
                iid.startsWith(QLatin1String("org.corvane.lumora.ComponentPlugin/"))
                    ? QStringLiteral("library %1 was built for contract %2, the host speaks %3")
                          .arg(key, iid, QLatin1String(LumoraComponentPlugin_iid))
                    : QStringLiteral("library %1 is not a Lumora plugin").arg(key));
        return nullptr;
    }
    return component;
}

} // namespace lumora::host

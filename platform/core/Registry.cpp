#include "platform/core/Registry.h"

#include "platform/core/RegistryStore.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <cstring>
#include <optional>

namespace lumora::reg {

namespace {

using Root = RegistryStore::Root;

constexpr qsizetype kMaxValueNameLength = 16383;
constexpr HKEY kFirstHandle = 0x1000;
constexpr HKEY kLastHandle = 0x7FFFFFF0;

struct OpenKey
{
    Root root;
    QString path;
    bool predefined; // a root: always there, and a value set on it creates its key
};

struct HandleTable
{
    QMutex mutex;
    QHash<HKEY, OpenKey> keys;
    HKEY next = kFirstHandle;
};

HandleTable &handles()
{
    static HandleTable table;
    return table;
}

std::optional<OpenKey> resolve(HKEY key)
{
    switch (key) {
    case HKEY_CURRENT_USER:
        return OpenKey{Root::CurrentUser, QString(), true};
    case HKEY_LOCAL_MACHINE:
        return OpenKey{Root::LocalMachine, QString(), true};
    case HKEY_CLASSES_ROOT:
        return OpenKey{Root::CurrentUser, QStringLiteral("Software\\Classes"), true};
    default:
        break;
    }
    HandleTable &t = handles();
    QMutexLocker locker(&t.mutex);
    const auto it = t.keys.constFind(key);
    if (it == t.keys.cend())
        return std::nullopt;
    return *it;
}

HKEY addHandle(const OpenKey &key)
{
    HandleTable &t = handles();
    QMutexLocker locker(&t.mutex);
    while (t.keys.contains(t.next))
        t.next = t.next >= kLastHandle ? kFirstHandle : t.next + 4;
    const HKEY h = t.next;
    t.next = t.next >= kLastHandle ? kFirstHandle : t.next + 4;
    t.keys.insert(h, key);
    return h;
}

QString join(const QString &base, const QString &sub)
{
    return (RegFile::splitPath(base) + RegFile::splitPath(sub)).join(u'\\');
}

LONG open(HKEY root, const QString &subKey, HKEY *result, bool create)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    const std::optional<OpenKey> base = resolve(root);
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (RegFile::splitPath(subKey).isEmpty() && base->predefined) {
        *result = root;
        return ERROR_SUCCESS;
    }
    const QString path = join(base->path, subKey);
    RegistryStore &store = RegistryStore::instance();
    if (create) {
        if (!base->predefined && !store.keyExists(base->root, base->path))
            return ERROR_FILE_NOT_FOUND; // the parent was deleted under its handle
        const LONG rc = store.createKey(base->root, path);
        if (rc != ERROR_SUCCESS)
            return rc;
    } else if (!store.keyExists(base->root, path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = addHandle(OpenKey{base->root, path, false});
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyA(HKEY root, const QString &subKey, HKEY *result)
{
    return open(root, subKey, result, false);
}

LONG RegOpenKeyExA(HKEY root, const QString &subKey, DWORD options, DWORD samDesired, HKEY *result)
{
    // Access rights and options have no meaning for a per-user file.
    Q_UNUSED(options);
    Q_UNUSED(samDesired);
    return open(root, subKey, result, false);
}

LONG RegCreateKeyA(HKEY root, const QString &subKey, HKEY *result)
{
    return open(root, subKey, result, true);
}

LONG RegQueryValueExA(HKEY key, const QString &valueName, DWORD *reserved, DWORD *type, unsigned char *data,
                      DWORD *cbData)
{
    if (reserved || (data && !cbData))
        return ERROR_INVALID_PARAMETER;
    const std::optional<OpenKey> k = resolve(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    const std::optional<RegFile::Value> v = RegistryStore::instance().value(k->root, k->path, valueName);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = v->type;
    const DWORD size = DWORD(v->data.size());
    if (data) {
        if (*cbData < size) {
            *cbData = size;
            return ERROR_MORE_DATA;
        }
        if (size)
            std::memcpy(data, v->data.constData(), size);
    }
    if (cbData)
        *cbData = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const QString &valueName, DWORD reserved, DWORD type, const unsigned char *data,
                    DWORD cbData)
{
    Q_UNUSED(reserved);
    if ((!data && cbData > 0) || valueName.size() > kMaxValueNameLength)
        return ERROR_INVALID_PARAMETER;
    const std::optional<OpenKey> k = resolve(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    RegFile::Value value{valueName, type,
                         cbData ? QByteArray(reinterpret_cast<const char *>(data), qsizetype(cbData)) : QByteArray()};
    return RegistryStore::instance().setValue(k->root, k->path, value, k->predefined);
}

LONG RegDeleteValueA(HKEY key, const QString &valueName)
{
    const std::optional<OpenKey> k = resolve(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    return RegistryStore::instance().deleteValue(k->root, k->path, valueName);
}

LONG RegDeleteKeyA(HKEY root, const QString &subKey)
{
    const std::optional<OpenKey> base = resolve(root);
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (base->predefined && RegFile::splitPath(subKey).isEmpty())
        return ERROR_ACCESS_DENIED;
    return RegistryStore::instance().deleteKey(base->root, join(base->path, subKey));
}

LONG RegEnumKeyA(HKEY key, DWORD index, QString *name)
{
    if (!name)
        return ERROR_INVALID_PARAMETER;
    const std::optional<OpenKey> k = resolve(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    RegistryStore &store = RegistryStore::instance();
    if (!k->predefined && !store.keyExists(k->root, k->path))
        return ERROR_FILE_NOT_FOUND;
    const QStringList names = store.subKeys(k->root, k->path);
    if (index >= DWORD(names.size()))
        return ERROR_NO_MORE_ITEMS;
    *name = names.at(qsizetype(index));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    HandleTable &t = handles();
    QMutexLocker locker(&t.mutex);
    return t.keys.remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace lumora::reg

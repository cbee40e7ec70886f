#pragma once

#include "host/HostExport.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QPluginLoader;

namespace lumora::host {

class ComponentPlugin;

// Creates components by prog-id from the class registration in the registry store:
// HKEY_CLASSES_ROOT\<ProgId>\CLSID names the class, and the InprocServer32 key below
// HKEY_CLASSES_ROOT\CLSID\<clsid> the library that implements it ("builtin" for the
// host's own components).
// Loaded libraries stay loaded for the factory's life, since their objects may outlive any call.
class LUMORA_HOST_EXPORT ComponentFactory
{
public:
    ComponentFactory();
    ~ComponentFactory();
    ComponentFactory(const ComponentFactory &) = delete;
    ComponentFactory &operator=(const ComponentFactory &) = delete;

    // The process-wide factory that the host and its plugins share.
    static ComponentFactory &global();

    // Writes the registration of the logging and safe-mail components.
    static bool registerBuiltins();

    // A new object for the prog-id (caller owns it), or null when the prog-id is unknown or
    // its library cannot provide it; the reason is one line on standard error.
    QObject *CreateObject(const QString &progId);

    // The same, typed and shared: null also when the object is not of the expected kind.
    template<typename T>
    std::shared_ptr<T> createShared(const QString &progId)
    {
        std::unique_ptr<QObject> object(CreateObject(progId));
        if (auto *typed = qobject_cast<T *>(object.get())) {
            object.release();
            return std::shared_ptr<T>(typed);
        }
        return nullptr;
    }

    // Loads the plugin library and lets it write (or remove) its own registration.
    bool registerLibrary(const QString &path);
    bool unregisterLibrary(const QString &path);

private:
    // The plugin in the library at path, loading it on first use; null (reason written to
    // standard error) when it is missing or not a plugin of this contract.
    ComponentPlugin *plugin(const QString &path, const QString &forWhat);

    QHash<QString, QPluginLoader *> m_loaders;
};

} // namespace lumora::host

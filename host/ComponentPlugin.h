#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtPlugin>

namespace lumora::host {

// The contract between the host and a plugin library (LumoraAddIn, LumoraProps): the
// stand-in for a COM server's class factory and its registration exports. The interface
// id carries the contract's version; the host refuses a plugin built for another one.
class ComponentPlugin
{
public:
    virtual ~ComponentPlugin() = default;

    // The prog-ids this library can create.
    virtual QStringList progIds() const = 0;
    // A new object for the prog-id (caller owns it), or null.
    virtual QObject *CreateObject(const QString &progId) = 0;
    // Writes this library's registration data (class entries, add-in keys) for the library
    // file at libraryPath. False when nothing could be written.
    virtual bool DllRegisterServer(const QString &libraryPath) = 0;
    // Removes what DllRegisterServer wrote.
    virtual bool DllUnregisterServer() = 0;
};

} // namespace lumora::host

#define LumoraComponentPlugin_iid "org.corvane.lumora.ComponentPlugin/1"
Q_DECLARE_INTERFACE(lumora::host::ComponentPlugin, LumoraComponentPlugin_iid)
